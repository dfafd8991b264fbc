#include "model/XMLNode.h"

#include <cstdlib>
#include <cstring>

#include <strings.h>

#include "core/Util.h"
#include "model/TextEncoding.h"

namespace {

bool sameName(const char* a, const char* b) {
    return strcasecmp(a, b) == 0;
}

pugi::xml_encoding pugiEncoding(const std::string& text) {
    switch (TextEncoding::detect(text)) {
    case TextEncoding::Encoding::Utf16LittleEndian:
        return pugi::encoding_utf16_le;
    case TextEncoding::Encoding::Utf16BigEndian:
        return pugi::encoding_utf16_be;
    case TextEncoding::Encoding::Utf8:
        break;
    }
    return pugi::encoding_utf8;
}

bool usableParse(const pugi::xml_parse_result& result) {
    return result.status == pugi::status_ok || result.status == pugi::status_end_element_mismatch ||
           result.status == pugi::status_no_document_element;
}

pugi::xml_node findChild(pugi::xml_node parent, const char* name, int index) {
    if (index < 0) {
        return {};
    }
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && sameName(child.name(), name) && index-- == 0) {
            return child;
        }
    }
    return {};
}

} // namespace

XMLNode::XMLNode(std::shared_ptr<const pugi::xml_document> document, pugi::xml_node node)
    : document(std::move(document)), node(node) {}

XMLNode XMLNode::parseFile(const std::string& fileName, const char* tag) {
    return parseText(Util::readFile(fileName).value_or(""), tag);
}

XMLNode XMLNode::parseText(const std::string& text, const char* tag) {
    if (text.empty()) {
        return {};
    }
    auto document = std::make_shared<pugi::xml_document>();
    if (!usableParse(
            document->load_buffer(text.data(), text.size(), pugi::parse_default, pugiEncoding(text)))) {
        return {};
    }
    pugi::xml_node found = document->document_element();
    if (found && !sameName(found.name(), tag)) {
        found = findChild(found, tag, 0);
    }
    if (!found) {
        return {};
    }
    return XMLNode(std::move(document), found);
}

int XMLNode::nChildNode(const char* name) const {
    int count = 0;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && sameName(child.name(), name)) {
            ++count;
        }
    }
    return count;
}

XMLNode XMLNode::getChildNode(const char* name, int index) const {
    const pugi::xml_node child = findChild(node, name, index);
    return child ? XMLNode(document, child) : XMLNode();
}

std::vector<XMLNode> XMLNode::getChildNodes(const char* name) const {
    std::vector<XMLNode> children;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && sameName(child.name(), name)) {
            children.push_back(XMLNode(document, child));
        }
    }
    return children;
}

const char* XMLNode::findAttribute(const char* name) const {
    for (pugi::xml_attribute attribute = node.first_attribute(); attribute;
         attribute = attribute.next_attribute()) {
        if (sameName(attribute.name(), name)) {
            return attribute.value();
        }
    }
    return nullptr;
}

float XMLNode::getFloat(const char* name, float fallback) const {
    const char* value = findAttribute(name);
    return value ? std::strtof(value, nullptr) : fallback;
}

int XMLNode::getInt(const char* name, int fallback) const {
    const char* value = findAttribute(name);
    return value ? static_cast<int>(std::strtol(value, nullptr, 10)) : fallback;
}

bool XMLNode::getBool(const char* name, bool fallback) const {
    const char* value = findAttribute(name);
    return value ? std::strcmp(value, "true") == 0 : fallback;
}

std::string XMLNode::getString(const char* name) const {
    const char* value = findAttribute(name);
    return value ? value : "";
}
