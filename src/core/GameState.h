#pragma once

// The game states; only StateManager::setState switches between them.
enum GameState : int {
    MAIN_MENU = 0,
    LOADING = 1,
    IN_GAME = 2,
    PAUSED = 3,
    LEVEL_COMPLETE = 4,
    GAME_OVER = 5,
    EXIT = 6,
    LEVEL_SELECT = 7,
    REPLAYS = 8,
};
