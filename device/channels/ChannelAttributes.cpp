#include "device/channels/ChannelAttributes.h"
#include "device/channels/LumoraPythonTexts.h"

#include <algorithm>
#include <map>
#include <string>
#include <unordered_set>

#include <maya/MDGModifier.h>
#include <maya/MDataHandle.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MGlobal.h>

#include "device/channels/ChannelOutputPlan.h"
#include "transport/protocol/ChannelNameRule.h"

namespace {

const char* const kMultipliersName = "multipliers";
const char* const kMultiplierSuffix = "_mlt";
constexpr unsigned kMultiplierSuffixLength = 4;

constexpr std::size_t kMatrixTranslateCount = 3;

// The plug of that name on the node, or a null plug.
MPlug plugNamed(const MFnDependencyNode& node, const MString& name) {
    MStatus status;
    MPlug plug = node.findPlug(name, true, &status);
    if (!status) return MPlug();
    return plug;
}

MObject createDouble(const std::string& name, double defaultValue) {
    MFnNumericAttribute numeric;
    const MString text(name.c_str());
    return numeric.create(text, text, MFnNumericData::kDouble, defaultValue);
}

MObject createAngle(const std::string& name) {
    MFnUnitAttribute unit;
    const MString text(name.c_str());
    return unit.create(text, text, MFnUnitAttribute::kAngle, 0.0);
}

void appendScalarOutputs(MFnDependencyNode& node, const ChannelNameLists& names,
                         const std::vector<bool>& given, ChannelOutputs& outputs,
                         ScalarOutputStorage scalarStorage) {
    for (std::size_t k = 0; k < names.scalars().size(); ++k) {
        const std::string& name = names.scalars()[k];
        if (!given[k]) {
            outputs.scalarOutputs.push_back(MObject());  // no output at this position
            continue;
        }
        const MPlug existing = plugNamed(node, MString(name.c_str()));
        if (!existing.isNull()) {
            outputs.scalarOutputs.push_back(existing.attribute());
            continue;
        }
        MObject attribute = createDouble(name, 0.0);
        if (scalarStorage == ScalarOutputStorage::notStorable) {
            MFnAttribute(attribute).setStorable(false);
        }
        node.addAttribute(attribute);
        outputs.scalarOutputs.push_back(attribute);
    }
}

// What the user made of the previous multipliers: children in order, values other than 1.0,
// and the first incoming connection of each.
struct MultiplierEdits {
    std::vector<std::string> names;
    std::map<std::string, double> values;
    std::map<std::string, MPlug> sources;
};

MultiplierEdits takeOutMultipliers(MFnDependencyNode& node) {
    MultiplierEdits edits;
    const MPlug compound = plugNamed(node, kMultipliersName);
    if (compound.isNull()) return edits;
    const unsigned count = compound.numChildren();
    for (unsigned i = 0; i < count; ++i) {
        const MPlug child = compound.child(i);
        const std::string name = child.partialName().asChar();
        edits.names.push_back(name);
        const double value = child.asDouble();
        if (value != 1.0) edits.values[name] = value;
        MPlugArray sources;
        child.connectedTo(sources, true, false);
        if (sources.length() > 0) edits.sources[name] = sources[0];
    }
    node.removeAttribute(compound.attribute());
    return edits;
}

void recreateMultipliers(MFnDependencyNode& node, ChannelOutputs& outputs) {
    MultiplierEdits edits = takeOutMultipliers(node);
    std::unordered_set<std::string> listed(edits.names.begin(), edits.names.end());
    for (const MObject& output : outputs.scalarOutputs) {
        if (output.isNull()) continue;  // a channel left without outputs
        std::string name = std::string(MFnAttribute(output).name().asChar()) + kMultiplierSuffix;
        if (listed.insert(name).second) edits.names.push_back(std::move(name));
    }

    MFnCompoundAttribute compound;
    MObject compoundAttribute = compound.create(kMultipliersName, kMultipliersName);
    for (const std::string& name : edits.names) {
        MObject child = createDouble(name, 1.0);
        MFnAttribute(child).setKeyable(true);
        compound.addChild(child);
        outputs.multiplierChildren.push_back(child);
    }
    node.addAttribute(compoundAttribute);

    for (const auto& [name, value] : edits.values) {
        MPlug plug = plugNamed(node, MString(name.c_str()));
        if (!plug.isNull()) plug.setDouble(value);
    }
    if (edits.sources.empty()) return;
    MDGModifier connections;
    for (const auto& [name, source] : edits.sources) {
        const MPlug plug = plugNamed(node, MString(name.c_str()));
        if (!plug.isNull()) connections.connect(source, plug);
    }
    connections.doIt();
}

// Creates a group of outputs named name + suffix; an attribute that already exists by name
// replaces the created one in the group, the others are added to the node.
template <std::size_t N, typename Create>
std::array<MObject, N> groupOutputs(MFnDependencyNode& node, const std::string& name,
                                    const char* const (&suffixes)[N], Create create) {
    std::array<MObject, N> group;
    for (std::size_t i = 0; i < N; ++i) group[i] = create(i, name + suffixes[i]);
    for (std::size_t i = 0; i < N; ++i) {
        const MPlug existing = plugNamed(node, MFnAttribute(group[i]).name());
        if (!existing.isNull()) {
            group[i] = existing.attribute();
        } else {
            node.addAttribute(group[i]);
        }
    }
    return group;
}

}  // namespace

void ChannelOutputs::index() {
    positions.clear();
    positions.reserve(flatValueCount());
    auto add = [this](const MObject& attribute, ChannelOutputPosition position) {
        if (attribute.isNull()) return;  // a channel left without outputs
        positions.emplace(MFnAttribute(attribute).name().asChar(), position);
    };
    for (std::size_t k = 0; k < scalarOutputs.size(); ++k) {
        add(scalarOutputs[k], {ChannelOutputPosition::Kind::scalar, k, 0});
    }
    for (std::size_t g = 0; g < matrixOutputs.size(); ++g) {
        for (std::size_t i = 0; i < kMatrixOutputCount; ++i) {
            add(matrixOutputs[g][i], {ChannelOutputPosition::Kind::matrix, g, i});
        }
    }
    for (std::size_t g = 0; g < vectorOutputs.size(); ++g) {
        for (std::size_t i = 0; i < kVectorComponents; ++i) {
            add(vectorOutputs[g][i], {ChannelOutputPosition::Kind::vector, g, i});
        }
    }
}

std::size_t ChannelOutputs::flatValueCount() const {
    return scalarOutputs.size() + kVectorComponents * vectorOutputs.size() +
           kMatrixElements * matrixOutputs.size();
}

void rebuildChannelAttributes(MObject node, const ChannelNameLists& listed, ChannelOutputs& outputs,
                              ScalarOutputStorage scalarStorage) {
    MFnDependencyNode fn(node);
    std::vector<ChannelRenaming> renamings;
    const ChannelNameLists names = validChannelNames(listed, &renamings);
    for (const ChannelRenaming& renaming : renamings) {
        const std::string text = "The channel \"" + renaming.from + "\" is named \"" + renaming.to +
                                 "\" here: attribute names are made of letters, digits and \"_\".";
        MGlobal::displayWarning(MString(text.c_str()));
    }
    const ChannelOutputPlan plan = planChannelOutputs(node, names);

    outputs.scalarOutputs.clear();
    outputs.multiplierChildren.clear();
    appendScalarOutputs(fn, names, plan.given[kindIndex(ChannelKind::scalar)], outputs,
                        scalarStorage);

    // The scripting side ignores the attribute changes of the multiplier rebuild.
    MGlobal::executePythonCommand(kLumoraSuppressRefreshOn, false, false);
    recreateMultipliers(fn, outputs);
    MGlobal::executePythonCommand(kLumoraSuppressRefreshOff, false, false);

    outputs.vectorOutputs.clear();
    for (std::size_t g = 0; g < names.vectors().size(); ++g) {
        if (!plan.given[kindIndex(ChannelKind::vector)][g]) {
            outputs.vectorOutputs.push_back(VectorOutputGroup{});  // no outputs at this position
            continue;
        }
        outputs.vectorOutputs.push_back(
            groupOutputs(fn, names.vectors()[g], kVectorOutputSuffixes,
                         [](std::size_t, const std::string& n) { return createDouble(n, 0.0); }));
    }
    outputs.matrixOutputs.clear();
    for (std::size_t g = 0; g < names.matrices().size(); ++g) {
        const std::string& name = names.matrices()[g];
        if (!plan.given[kindIndex(ChannelKind::matrix)][g]) {
            outputs.matrixOutputs.push_back(MatrixOutputGroup{});
            continue;
        }
        outputs.matrixOutputs.push_back(
            groupOutputs(fn, name, kMatrixOutputSuffixes, [](std::size_t i, const std::string& n) {
                return i < kMatrixTranslateCount ? createDouble(n, 0.0) : createAngle(n);
            }));
    }
    outputs.index();
}

ChannelOutputPosition findChannelOutput(const ChannelOutputs& outputs, const MObject& attribute) {
    const auto found = outputs.positions.find(MFnAttribute(attribute).name().asChar());
    if (found == outputs.positions.end()) return {};
    // The name is that of a channel output; make sure it is this very attribute.
    const ChannelOutputPosition& position = found->second;
    const MObject* listed = nullptr;
    switch (position.kind) {
        case ChannelOutputPosition::Kind::scalar:
            listed = &outputs.scalarOutputs[position.group];
            break;
        case ChannelOutputPosition::Kind::matrix:
            listed = &outputs.matrixOutputs[position.group][position.index];
            break;
        case ChannelOutputPosition::Kind::vector:
            listed = &outputs.vectorOutputs[position.group][position.index];
            break;
        case ChannelOutputPosition::Kind::none:
            break;
    }
    return listed && *listed == attribute ? position : ChannelOutputPosition{};
}

double scalarOutputMultiplier(const MObject& node, const MPlug& outputPlug, MDataBlock& data) {
    const MPlug multiplier =
        plugNamed(MFnDependencyNode(node), outputPlug.partialName() + kMultiplierSuffix);
    if (multiplier.isNull()) return 1.0;
    return data.inputValue(multiplier).asDouble();
}

double scalarOutputValue(const MObject& node, const MPlug& outputPlug, MDataBlock& data,
                         double value) {
    return scalarOutputMultiplier(node, outputPlug, data) * value;
}

bool isMultiplierChild(const MPlug& plug) {
    return plug.isChild() && plug.parent().partialName() == kMultipliersName;
}

void addMultiplierDependent(const MObject& node, const MPlug& plug, MPlugArray& affected) {
    if (!plug.isDynamic() || !isMultiplierChild(plug)) return;
    const MString name = plug.partialName();
    const std::string text = name.asChar();
    if (text.size() < kMultiplierSuffixLength ||
        text.compare(text.size() - kMultiplierSuffixLength, kMultiplierSuffixLength,
                     kMultiplierSuffix) != 0) {
        return;
    }
    const std::string outputName = text.substr(0, text.size() - kMultiplierSuffixLength);
    const MPlug output = plugNamed(MFnDependencyNode(node), MString(outputName.c_str()));
    if (!output.isNull()) affected.append(output);
}
