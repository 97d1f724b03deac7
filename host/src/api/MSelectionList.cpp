#include <maya/MSelectionList.h>

#include "core/Plugs.h"
#include "core/Scene.h"
#include "script/PlugNames.h"

using namespace headless::detail;

namespace {

// Shell-style match with * and ?.
bool matches(const char* pattern, const char* text) {
    if (*pattern == '\0') return *text == '\0';
    if (*pattern == '*')
        return matches(pattern + 1, text) || (*text != '\0' && matches(pattern, text + 1));
    if (*text == '\0') return false;
    return (*pattern == '?' || *pattern == *text) && matches(pattern + 1, text + 1);
}

}  // namespace

MStatus MSelectionList::add(const MString& matchString, bool) {
    const std::string text = matchString.asChar();
    if (text.find('.') != std::string::npos) {
        std::string error;
        const MPlug plug = resolvePlug(text, &error);
        if (plug.isNull()) return MStatus::kInvalidParameter;
        items_.push_back(Item{plug.node(), plug, true});
        return MStatus::kSuccess;
    }
    bool found = false;
    for (const auto& node : Scene::instance().nodes()) {
        if (!matches(text.c_str(), node->name.c_str())) continue;
        items_.push_back(Item{node->object(), MPlug(), false});
        found = true;
    }
    return found ? MStatus::kSuccess : MStatus::kInvalidParameter;
}

MStatus MSelectionList::add(const MObject& object, bool mergeWithExisting) {
    if (object.isNull()) return MStatus::kInvalidParameter;
    if (mergeWithExisting) {
        for (const auto& item : items_) {
            if (!item.hasPlug && item.node == object) return MStatus::kSuccess;
        }
    }
    items_.push_back(Item{object, MPlug(), false});
    return MStatus::kSuccess;
}

MStatus MSelectionList::add(const MPlug& plug, bool) {
    if (plug.isNull()) return MStatus::kInvalidParameter;
    items_.push_back(Item{plug.node(), plug, true});
    return MStatus::kSuccess;
}

MStatus MSelectionList::getDependNode(unsigned int index, MObject& object) const {
    if (index >= items_.size()) return MStatus::kInvalidParameter;
    object = items_[index].node;
    const auto node = hostCast<Node>(object);
    return node && node->alive ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus MSelectionList::getPlug(unsigned int index, MPlug& plug) const {
    if (index >= items_.size() || !items_[index].hasPlug) return MStatus::kInvalidParameter;
    plug = items_[index].plug;
    return MStatus::kSuccess;
}

unsigned int MSelectionList::length(MStatus* returnStatus) const {
    if (returnStatus) *returnStatus = MStatus::kSuccess;
    return static_cast<unsigned int>(items_.size());
}

bool MSelectionList::isEmpty(MStatus* returnStatus) const {
    return length(returnStatus) == 0;
}

MStatus MSelectionList::clear() {
    items_.clear();
    return MStatus::kSuccess;
}
