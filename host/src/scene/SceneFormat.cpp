#include "scene/SceneFormat.h"

#include <map>

#include "scene/AttributeText.h"
#include "scene/SceneText.h"

namespace headless::detail {

namespace {

constexpr const char* kHeader = "headlessScene";
constexpr const char* kVersion = "1";

void formatAttributeTree(const Attribute& attribute, std::string& text) {
    text += "attribute " + formatAttributeDefinition(attribute) + "\n";
    for (const auto& child : attribute.children) formatAttributeTree(*child, text);
}

// Parses the lines of one file; each record adds to the document.
class SceneParser {
  public:
    explicit SceneParser(SceneDocument& document) : document_(document) {}

    bool parseLine(const std::vector<std::string>& words, std::string* error) {
        const std::string& record = words.front();
        if (ended_) return fail("there is text after \"end\"", error);
        if (!started_) {
            if (record != kHeader || words.size() != 2)
                return fail("this is not a scene file", error);
            if (words[1] != kVersion)
                return fail("scene file version " + words[1] + " is not supported", error);
            started_ = true;
            return true;
        }
        if (record == "units") {
            if (words.size() != 4 || !document_.nodes.empty())
                return fail("\"units\" takes the time, linear and angular units, before any node",
                            error);
            document_.timeUnit = words[1];
            document_.linearUnit = words[2];
            document_.angleUnit = words[3];
            return true;
        }
        if (record == "node" || record == "defaultNode")
            return parseNode(words, record == "defaultNode", error);
        if (record == "connect") {
            if (words.size() != 5) return fail("a connection needs two nodes and two plugs", error);
            document_.connections.push_back(
                ConnectionRecord{words[1], words[2], words[3], words[4]});
            return true;
        }
        if (record == "end") {
            if (words.size() != 1) return fail("\"end\" takes nothing", error);
            ended_ = true;
            return true;
        }
        if (record != "attribute" && record != "element" && record != "value" &&
            record != "alias") {
            return fail("unknown record '" + record + "'", error);
        }
        if (document_.nodes.empty()) return fail("'" + record + "' comes before any node", error);
        NodeRecord& node = document_.nodes.back();
        if (record == "attribute") return parseAttribute(words, node, error);
        if (record == "alias") {
            if (words.size() != 3) return fail("an alias needs a name and a plug path", error);
            node.aliases.emplace_back(words[1], words[2]);
            return true;
        }
        if (record == "element") {
            if (words.size() != 2) return fail("an element needs one plug path", error);
            node.elements.push_back(words[1]);
            return true;
        }
        if (words.size() < 3) return fail("a value needs a plug path and a value", error);
        PlugValueRecord value{words[1], {}};
        std::size_t at = 2;
        if (!parseValue(words, at, value.value, error)) return false;
        if (at != words.size()) return fail("extra words after the value", error);
        node.values.push_back(std::move(value));
        return true;
    }

    bool finish(std::string* error) const {
        if (!started_) return fail("the file is empty", error);
        if (!ended_) return fail("the file ends early (no \"end\"): it is truncated", error);
        return true;
    }

  private:
    static bool fail(const std::string& message, std::string* error) {
        *error = message;
        return false;
    }

    bool parseNode(const std::vector<std::string>& words, bool isDefault, std::string* error) {
        if (words.size() != 4) return fail("a node needs a type id, a type name and a name", error);
        NodeRecord node;
        if (!parseTypeId(words[1], node.typeId))
            return fail("'" + words[1] + "' is not a type id", error);
        node.typeName = words[2];
        node.name = words[3];
        node.isDefault = isDefault;
        if (node.name.empty()) return fail("a node has no name", error);
        for (const auto& other : document_.nodes) {
            if (other.name == node.name)
                return fail("two nodes are named '" + node.name + "'", error);
        }
        document_.nodes.push_back(std::move(node));
        dynamicNames_.clear();
        return true;
    }

    bool parseAttribute(const std::vector<std::string>& words, NodeRecord& node,
                        std::string* error) {
        std::string parentName;
        const auto attribute = parseAttributeDefinition(words, 1, parentName, error);
        if (!attribute) return false;
        for (const auto& name : {attribute->longName, attribute->shortName}) {
            if (dynamicNames_.count(name))
                return fail("the attribute name '" + name + "' is used twice", error);
        }
        if (parentName.empty()) {
            node.dynamicAttributes.push_back(attribute);
        } else {
            const auto parent = dynamicNames_.find(parentName);
            if (parent == dynamicNames_.end() || parent->second->longName != parentName ||
                parent->second->kind != AttributeKind::Compound) {
                return fail("the parent '" + parentName + "' is not a compound attribute above",
                            error);
            }
            parent->second->adoptChild(attribute);
        }
        dynamicNames_[attribute->longName] = attribute;
        dynamicNames_[attribute->shortName] = attribute;
        return true;
    }

    SceneDocument& document_;
    bool started_ = false;
    bool ended_ = false;
    // The current node's dynamic attributes by long and short name.
    std::map<std::string, std::shared_ptr<Attribute>> dynamicNames_;
};

}  // namespace

std::string formatScene(const SceneDocument& document) {
    std::string text = std::string(kHeader) + " " + kVersion + "\n";
    if (!document.timeUnit.empty()) {
        text += "units " + quoteText(document.timeUnit) + " " + quoteText(document.linearUnit) +
                " " + quoteText(document.angleUnit) + "\n";
    }
    for (const auto& node : document.nodes) {
        text += std::string(node.isDefault ? "defaultNode " : "node ") + formatTypeId(node.typeId) +
                " " + quoteText(node.typeName) + " " + quoteText(node.name) + "\n";
        for (const auto& root : node.dynamicAttributes) formatAttributeTree(*root, text);
        for (const auto& element : node.elements) text += "element " + quoteText(element) + "\n";
        for (const auto& value : node.values) {
            text += "value " + quoteText(value.path) + " " + formatValue(value.value) + "\n";
        }
        for (const auto& [alias, path] : node.aliases) {
            text += "alias " + quoteText(alias) + " " + quoteText(path) + "\n";
        }
    }
    for (const auto& c : document.connections) {
        text += "connect " + quoteText(c.sourceNode) + " " + quoteText(c.sourcePath) + " " +
                quoteText(c.destinationNode) + " " + quoteText(c.destinationPath) + "\n";
    }
    return text + "end\n";
}

bool parseScene(const std::string& text, SceneDocument& document, std::string* error) {
    document = SceneDocument();
    SceneParser parser(document);
    std::size_t start = 0;
    std::vector<std::string> words;
    for (int line = 1; start < text.size(); ++line) {
        const auto newline = text.find('\n', start);
        const std::string content =
            text.substr(start, newline == std::string::npos ? std::string::npos : newline - start);
        start = newline == std::string::npos ? text.size() : newline + 1;
        const auto first = content.find_first_not_of(" \t\r");
        if (first == std::string::npos || content[first] == '#') continue;
        std::string problem;
        if (!splitLine(content, words, &problem) || !parser.parseLine(words, &problem)) {
            *error = "line " + std::to_string(line) + ": " + problem;
            return false;
        }
    }
    return parser.finish(error);
}

}  // namespace headless::detail
