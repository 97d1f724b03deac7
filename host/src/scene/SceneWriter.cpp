#include "scene/SceneWriter.h"

#include <optional>

#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "math/UnitNames.h"
#include "scene/PlugPathText.h"
#include "time/SceneTime.h"

namespace headless::detail {

namespace {

// The node's own answer for the plug, or nothing when it leaves it to the host.
std::optional<bool> nodeSaysSave(Node& node, const MPlug& plug) {
    if (!node.user) return std::nullopt;
    bool saving = false;
    if (node.user->shouldSave(plug, saving) != MStatus::kSuccess) return std::nullopt;
    return saving;
}

// Maya's rule for a leaf: a value of its own that differs from the attribute's default, not
// from what postConstructor set (a device node that turns itself live and was saved idle opens
// live again). A driven plug gets its value from the connection, and a dirty output's stored
// value is stale.
bool hostSavesValue(Node& node, const MPlug& plug, const Attribute& attribute) {
    const PlugState* state = node.findState(keyOf(plug));
    if (!state || std::holds_alternative<std::monostate>(state->value)) return false;
    if (state->value == attribute.defaultValue) return false;
    if (!sourceOf(plug).isNull()) return false;
    return !(state->dirty && !attribute.writable);
}

class NodeCapture {
  public:
    NodeCapture(Node& node, NodeRecord& record) : node_(node), record_(record) {}

    void visit(const MPlug& plug) {
        const auto& attribute = *attributeOf(plug);
        const std::optional<bool> forced = nodeSaysSave(node_, plug);
        if (!forced.value_or(attribute.storable)) return;
        if (isArrayPlug(plug)) {
            for (const unsigned int index : existingElements(plug)) {
                const MPlug element = elementPlug(plug, index);
                if (forced.value_or(false)) record_.elements.push_back(formatPlugPath(element));
                visit(element);
            }
            return;
        }
        if (attribute.kind == AttributeKind::Compound) {
            for (unsigned int i = 0; i < attribute.children.size(); ++i) visit(childPlug(plug, i));
            return;
        }
        if (attribute.kind == AttributeKind::Message) return;
        if (forced.value_or(false) || hostSavesValue(node_, plug, attribute)) {
            record_.values.push_back(PlugValueRecord{formatPlugPath(plug), storedValue(plug)});
        }
    }

  private:
    Node& node_;
    NodeRecord& record_;
};

}  // namespace

SceneDocument captureScene(const Scene& scene) {
    SceneDocument document;
    document.timeUnit = timeUnitName(MTime::uiUnit());
    document.linearUnit = distanceUnitName(MDistance::uiUnit());
    document.angleUnit = angleUnitName(MAngle::uiUnit());
    for (const auto& node : scene.nodes()) {
        NodeRecord record;
        record.typeId = node->type->id.id();
        record.typeName = node->type->name;
        record.name = node->name;
        record.isDefault = node->isDefault;
        record.dynamicAttributes = node->dynamicAttributes;
        record.aliases.assign(node->aliases.begin(), node->aliases.end());
        NodeCapture capture(*node, record);
        for (const auto& root : node->rootAttributes()) capture.visit(makePlug(node, root, {}));
        document.nodes.push_back(std::move(record));
    }
    for (const auto& c : scene.connections()) {
        document.connections.push_back(
            ConnectionRecord{nodeOf(c.source)->name, formatPlugPath(c.source),
                             nodeOf(c.destination)->name, formatPlugPath(c.destination)});
    }
    return document;
}

}  // namespace headless::detail
