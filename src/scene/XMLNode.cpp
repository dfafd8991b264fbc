#include "scene/XMLNode.h"

#include <algorithm>
#include <fstream>
#include <strings.h>

namespace {

bool sameName(const char* a, const char* b) {
    return strcasecmp(a, b) == 0;
}

std::string readWholeFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary | std::ios::ate);
    if (!in) {
        return {};
    }
    std::string text(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    return in ? text : std::string();
}

// UTF-16 without a byte-order mark shows as ASCII text with every other byte zero.
pugi::xml_encoding guessEncoding(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (text.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        return pugi::encoding_utf16_le;
    }
    if (text.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) {
        return pugi::encoding_utf16_be;
    }
    if (text.size() < 2 || text.size() % 2 != 0) {
        return pugi::encoding_utf8;
    }
    const std::size_t sample = std::min<std::size_t>(text.size(), 512);
    std::size_t zerosAtEven = 0;
    std::size_t zerosAtOdd = 0;
    for (std::size_t i = 0; i < sample; ++i) {
        if (byte(i) == 0) {
            (i % 2 == 0 ? zerosAtEven : zerosAtOdd) += 1;
        }
    }
    const std::size_t half = sample / 2;
    if (zerosAtOdd == half && zerosAtEven == 0) {
        return pugi::encoding_utf16_le;
    }
    if (zerosAtEven == half && zerosAtOdd == 0) {
        return pugi::encoding_utf16_be;
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
    return parseText(readWholeFile(fileName), tag);
}

XMLNode XMLNode::parseText(std::string_view text, const char* tag) {
    if (text.empty()) {
        return {};
    }
    auto document = std::make_shared<pugi::xml_document>();
    if (!usableParse(
            document->load_buffer(text.data(), text.size(), pugi::parse_default, guessEncoding(text)))) {
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
