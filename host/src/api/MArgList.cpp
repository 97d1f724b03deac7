#include <maya/MArgList.h>

#include <climits>

const unsigned int MArgList::kInvalidArgIndex = UINT_MAX;

namespace {

void report(MStatus* returnStatus, bool ok) {
    if (returnStatus) *returnStatus = ok ? MStatus::kSuccess : MStatus::kFailure;
}

}  // namespace

unsigned int MArgList::length(MStatus* returnStatus) const {
    report(returnStatus, true);
    return static_cast<unsigned int>(words_.size());
}

MString MArgList::asString(unsigned int index, MStatus* returnStatus) const {
    const bool ok = index < words_.size();
    report(returnStatus, ok);
    return ok ? words_[index] : MString();
}

int MArgList::asInt(unsigned int index, MStatus* returnStatus) const {
    const bool ok = index < words_.size() && words_[index].isInt();
    report(returnStatus, ok);
    return ok ? words_[index].asInt() : 0;
}

double MArgList::asDouble(unsigned int index, MStatus* returnStatus) const {
    const bool ok = index < words_.size() && words_[index].isDouble();
    report(returnStatus, ok);
    return ok ? words_[index].asDouble() : 0.0;
}

bool MArgList::asBool(unsigned int index, MStatus* returnStatus) const {
    if (index >= words_.size()) {
        report(returnStatus, false);
        return false;
    }
    MString word = words_[index];
    word.toLowerCase();
    const bool isTrue = word == "true" || word == "on" || word == "yes" ||
                        (word.isDouble() && word.asDouble() != 0);
    const bool isFalse = word == "false" || word == "off" || word == "no" ||
                         (word.isDouble() && word.asDouble() == 0);
    report(returnStatus, isTrue || isFalse);
    return isTrue;
}

unsigned int MArgList::flagIndex(const char* shortFlag, const char* longFlag) const {
    const auto same = [](const MString& word, const char* flag) {
        if (!flag) return false;
        const MString wanted = flag[0] == '-' ? MString(flag) : MString("-") + flag;
        return word == wanted;
    };
    for (unsigned int i = 0; i < words_.size(); ++i) {
        if (same(words_[i], shortFlag) || same(words_[i], longFlag)) return i;
    }
    return kInvalidArgIndex;
}

MStatus MArgList::addArg(const MString& arg) {
    words_.push_back(arg);
    return MStatus::kSuccess;
}

MStatus MArgList::addArg(double arg) {
    MString word;
    word.set(arg, 17);
    return addArg(word);
}

MStatus MArgList::addArg(int arg) {
    MString word;
    word += arg;
    return addArg(word);
}

MStatus MArgList::addArg(bool arg) {
    return addArg(MString(arg ? "true" : "false"));
}
