#include <maya/MArrayDataHandle.h>
#include <maya/MPlug.h>

#include <algorithm>

#include "core/Evaluation.h"
#include "core/Node.h"
#include "core/Plugs.h"

using namespace headless::detail;

MArrayDataHandle::MArrayDataHandle(Node* node, std::shared_ptr<Attribute> attribute,
                                   std::vector<unsigned int> indices, bool pullInputs)
    : node_(node), attribute_(std::move(attribute)), indices_(std::move(indices)) {
    if (!node_ || !attribute_ || !attribute_->array) return;
    const auto& existing = node_->elementsOf(PlugKey{attribute_.get(), indices_});
    elements_.assign(existing.begin(), existing.end());
    if (!pullInputs) return;
    for (const unsigned int index : elements_) {
        auto at = indices_;
        at.push_back(index);
        evaluatePlug(makePlug(node_->self(), attribute_, at));
    }
}

MArrayDataHandle::MArrayDataHandle(const MDataHandle& handle, MStatus* returnStatus)
    : MArrayDataHandle(handle.node_, handle.attribute_, handle.indices_, false) {
    if (returnStatus)
        *returnStatus =
            attribute_ && attribute_->array ? MStatus::kSuccess : MStatus::kInvalidParameter;
}

MDataHandle MArrayDataHandle::elementHandle(MStatus* returnStatus, bool pull) {
    if (position_ >= elements_.size()) {
        if (returnStatus) *returnStatus = MStatus::kFailure;
        return MDataHandle();
    }
    auto at = indices_;
    at.push_back(elements_[position_]);
    if (pull) evaluatePlug(makePlug(node_->self(), attribute_, at));
    if (returnStatus) *returnStatus = MStatus::kSuccess;
    return MDataHandle(node_, attribute_, at);
}

MDataHandle MArrayDataHandle::inputValue(MStatus* returnStatus) {
    return elementHandle(returnStatus, true);
}
MDataHandle MArrayDataHandle::outputValue(MStatus* returnStatus) {
    return elementHandle(returnStatus, false);
}

MStatus MArrayDataHandle::next() {
    if (position_ >= elements_.size()) return MStatus::kFailure;
    ++position_;
    return position_ < elements_.size() ? MStatus::kSuccess : MStatus::kFailure;
}

unsigned int MArrayDataHandle::elementCount(MStatus* returnStatus) {
    if (returnStatus) *returnStatus = attribute_ ? MStatus::kSuccess : MStatus::kFailure;
    return static_cast<unsigned int>(elements_.size());
}

unsigned int MArrayDataHandle::elementIndex(MStatus* returnStatus) {
    const bool ok = position_ < elements_.size();
    if (returnStatus) *returnStatus = ok ? MStatus::kSuccess : MStatus::kFailure;
    return ok ? elements_[position_] : 0u;
}

MStatus MArrayDataHandle::jumpToElement(unsigned int logicalIndex) {
    const auto at = std::find(elements_.begin(), elements_.end(), logicalIndex);
    if (at == elements_.end()) return MStatus::kInvalidParameter;
    position_ = static_cast<std::size_t>(at - elements_.begin());
    return MStatus::kSuccess;
}

MStatus MArrayDataHandle::jumpToArrayElement(unsigned int physicalPosition) {
    if (physicalPosition >= elements_.size()) return MStatus::kInvalidParameter;
    position_ = physicalPosition;
    return MStatus::kSuccess;
}

MStatus MArrayDataHandle::setClean() {
    if (!node_ || !attribute_) return MStatus::kFailure;
    setPlugClean(makePlug(node_->self(), attribute_, indices_));
    return MStatus::kSuccess;
}

MStatus MArrayDataHandle::setAllClean() {
    if (!node_ || !attribute_) return MStatus::kFailure;
    setPlugClean(makePlug(node_->self(), attribute_, indices_));
    for (const unsigned int index : elements_) {
        auto at = indices_;
        at.push_back(index);
        setPlugClean(makePlug(node_->self(), attribute_, at));
    }
    return MStatus::kSuccess;
}
