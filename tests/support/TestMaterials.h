#pragma once

// The material script of the small test levels: a textured stone and a glowing ball.
inline constexpr const char* kTestMaterials = R"(material Stone
{
    technique
    {
        pass
        {
            diffuse 0.5 0.5 0.5 1
            texture_unit
            {
                texture stone.png
            }
        }
    }
}

material Ball
{
    technique
    {
        pass
        {
            emissive 1 0.5 0
        }
    }
}
)";
