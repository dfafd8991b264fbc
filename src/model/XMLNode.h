#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

// A handle to one element of a parsed XML document. Copies share the element and
// keep the document alive. Tag and attribute names are matched ignoring case;
// every lookup that finds nothing gives an empty handle.
class XMLNode {
public:
    XMLNode() = default;

    // Parses the whole file (UTF-8, or UTF-16 with or without a byte-order mark)
    // and returns the top element when its name is `tag`, else the top element's
    // first child of that name. A missing end tag is tolerated.
    static XMLNode parseFile(const std::string& fileName, const char* tag);
    // The same for text already in memory.
    static XMLNode parseText(const std::string& text, const char* tag);

    bool isEmpty() const { return !node; }
    const char* getName() const { return node.name(); }

    int nChildNode(const char* name) const;
    XMLNode getChildNode(const char* name, int index = 0) const;
    // All children of that name in document order.
    std::vector<XMLNode> getChildNodes(const char* name) const;

    bool isAttributeSet(const char* name) const { return findAttribute(name) != nullptr; }
    // The attribute's text, or null when absent. Valid as long as a handle to the document lives.
    const char* getAttribute(const char* name) const { return findAttribute(name); }
    // An attribute read as a number (the standard decimal conversions) or as text; absent gives the fallback.
    float getFloat(const char* name, float fallback = 0.0f) const;
    int getInt(const char* name, int fallback) const;
    // "true" exactly is true; any other text is false.
    bool getBool(const char* name, bool fallback) const;
    std::string getString(const char* name) const;

private:
    XMLNode(std::shared_ptr<const pugi::xml_document> document, pugi::xml_node node);

    const char* findAttribute(const char* name) const;

    std::shared_ptr<const pugi::xml_document> document;
    pugi::xml_node node;
};
