#include <maya/MFnCompoundAttribute.h>

#include <algorithm>

#include "api/AttributeCreation.h"
#include "api/FunctionSetDefinition.h"

using namespace headless::detail;

implementMFn(MFnCompoundAttribute, kCompoundAttribute);

MObject MFnCompoundAttribute::create(const MString& fullName, const MString& briefName,
                                     MStatus* returnStatus) {
    return createAttribute(*this, AttributeKind::Compound, fullName, briefName, returnStatus);
}

// A child joins one compound, before the compound is added to a node (as in Maya).
MStatus MFnCompoundAttribute::addChild(const MObject& child) {
    const auto compound = hostCast<Attribute>(object_);
    const auto attribute = hostCast<Attribute>(child);
    if (!compound || !attribute || attribute == compound || attribute->parentAttribute() ||
        attribute->isAncestorOrSelf(*compound) || compound->inUse) {
        return MStatus::kInvalidParameter;
    }
    if (compound->hasChildNamed(attribute->longName) ||
        compound->hasChildNamed(attribute->shortName)) {
        return MStatus::kInvalidParameter;
    }
    compound->adoptChild(attribute);
    return MStatus::kSuccess;
}

MStatus MFnCompoundAttribute::removeChild(const MObject& child) {
    const auto compound = hostCast<Attribute>(object_);
    const auto attribute = hostCast<Attribute>(child);
    if (!compound || !attribute || attribute->parentAttribute() != compound || compound->inUse) {
        return MStatus::kInvalidParameter;
    }
    compound->dropChild(attribute);
    return MStatus::kSuccess;
}

unsigned int MFnCompoundAttribute::numChildren(MStatus* returnStatus) const {
    const auto compound = hostCast<Attribute>(object_);
    if (returnStatus) *returnStatus = compound ? MStatus::kSuccess : MStatus::kFailure;
    return compound ? static_cast<unsigned int>(compound->children.size()) : 0u;
}

MObject MFnCompoundAttribute::child(unsigned int index, MStatus* returnStatus) const {
    const auto compound = hostCast<Attribute>(object_);
    const bool ok = compound && index < compound->children.size();
    if (returnStatus) *returnStatus = ok ? MStatus::kSuccess : MStatus::kInvalidParameter;
    return ok ? wrap(compound->children[index]) : MObject();
}
