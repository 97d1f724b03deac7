#include "device/channels/ChannelOutputPlan.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

#include "device/channels/ChannelOutputRules.h"

namespace {

const char* const kMultipliersName = "multipliers";
const char* const kMultiplierSuffix = "_mlt";

// The long and short names of the node's static attributes. Maya lists a node's static
// attributes before its dynamic ones, so the walk stops at the first dynamic one.
std::unordered_set<std::string> staticAttributeNames(const MFnDependencyNode& node) {
    std::unordered_set<std::string> names;
    const unsigned count = node.attributeCount();
    for (unsigned i = 0; i < count; ++i) {
        const MFnAttribute attribute(node.attribute(i));
        if (attribute.isDynamic()) break;
        names.insert(attribute.name().asChar());
        names.insert(attribute.shortName().asChar());
    }
    return names;
}

std::unordered_set<std::string> multiplierChildNames(const MFnDependencyNode& node) {
    std::unordered_set<std::string> names;
    MStatus status;
    const MPlug compound = node.findPlug(kMultipliersName, true, &status);
    if (!status || compound.isNull()) return names;
    for (unsigned i = 0; i < compound.numChildren(); ++i)
        names.insert(compound.child(i).partialName().asChar());
    return names;
}

std::vector<std::string> outputNames(ChannelKind kind, const std::string& name) {
    std::vector<std::string> outputs;
    if (kind == ChannelKind::scalar) {
        outputs.push_back(name);
    } else if (kind == ChannelKind::vector) {
        for (const char* suffix : kVectorOutputSuffixes) outputs.push_back(name + suffix);
    } else {
        for (const char* suffix : kMatrixOutputSuffixes) outputs.push_back(name + suffix);
    }
    return outputs;
}

std::string channelText(ChannelKind kind, const std::string& name) {
    return std::string(channelKindName(kind)) + " channel \"" + name + "\"";
}

void warn(const std::string& text) {
    MGlobal::displayWarning(MString(text.c_str()));
}

}  // namespace

ChannelOutputPlan planChannelOutputs(const MObject& node, const ChannelNameLists& names) {
    const MFnDependencyNode fn(node);
    const std::unordered_set<std::string> statics = staticAttributeNames(fn);
    const std::unordered_set<std::string> existingMultipliers = multiplierChildNames(fn);
    ChannelOutputPlan plan;

    // A name listed twice: its last position.
    std::array<std::unordered_map<std::string, std::size_t>, kChannelKindCount> last;
    for (const ChannelKind kind : kChannelKinds) {
        const auto& list = names.of(kind);
        plan.given[kindIndex(kind)].assign(list.size(), false);
        std::unordered_map<std::string, std::size_t> listed;
        for (std::size_t i = 0; i < list.size(); ++i) {
            last[kindIndex(kind)][list[i]] = i;
            ++listed[list[i]];
        }
        for (std::size_t i = 0; i < list.size(); ++i) {
            const auto times = listed.find(list[i]);
            if (times == listed.end() || last[kindIndex(kind)][list[i]] != i) continue;
            if (times->second > 1) {
                warn("The " + channelText(kind, list[i]) + " is listed " +
                     std::to_string(times->second) +
                     " times; its outputs show the values at its last place.");
            }
        }
    }

    // What holds each name: "the node", or the channel that claimed it.
    std::unordered_map<std::string, std::string> holders;
    for (const auto& scalar : last[kindIndex(ChannelKind::scalar)]) {
        if (statics.count(scalar.first) == 0 && scalar.first != kMultipliersName) {
            holders.emplace(
                scalar.first + kMultiplierSuffix,
                "the multiplier of the " + channelText(ChannelKind::scalar, scalar.first));
        }
    }
    for (const ChannelKind kind : kChannelKinds) {
        const auto& list = names.of(kind);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string& name = list[i];
            if (last[kindIndex(kind)][name] != i) continue;
            const std::string self = channelText(kind, name);
            std::vector<std::string> wanted = outputNames(kind, name);
            std::string clash;
            for (const std::string& output : wanted) {
                if (statics.count(output) > 0) {
                    clash = "\"" + output + "\" is an attribute of the node";
                } else if (output == kMultipliersName) {
                    clash = "\"multipliers\" holds the node's multipliers";
                } else if (existingMultipliers.count(output) > 0) {
                    clash = "\"" + output + "\" is a multiplier on the node";
                } else if (const auto holder = holders.find(output); holder != holders.end()) {
                    clash = "\"" + output + "\" is " + holder->second;
                }
                if (!clash.empty()) break;
            }
            if (kind == ChannelKind::scalar && clash.empty()) {
                const std::string multiplier = name + kMultiplierSuffix;
                if (statics.count(multiplier) > 0)
                    clash = "\"" + multiplier + "\" is an attribute of the node";
            }
            if (!clash.empty()) {
                warn("The " + self + " gets no outputs: " + clash +
                     ". Its values stay in the recording and takes.");
                continue;
            }
            plan.given[kindIndex(kind)][i] = true;
            for (const std::string& output : wanted)
                holders.emplace(output, "an output of the " + self);
        }
    }
    return plan;
}
