#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>

namespace {

// True when the whole text (surrounding white space allowed) is a number for the given parser.
template <typename Parse>
bool wholeNumber(const std::string& text, Parse parse) {
    if (text.empty()) return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    parse(begin, &end);
    if (end == begin || errno == ERANGE) return false;
    while (*end != '\0' && std::isspace(static_cast<unsigned char>(*end))) ++end;
    return *end == '\0';
}

}  // namespace

MString::MString(const char* text) : text_(text ? text : "") {}

MString::MString(const char* text, int byteLength)
    : text_(text && byteLength > 0 ? std::string(text, static_cast<std::size_t>(byteLength)) : "") {
}

MString& MString::operator=(const char* text) {
    set(text);
    return *this;
}

MString& MString::operator+=(const MString& other) {
    text_ += other.text_;
    return *this;
}

MString& MString::operator+=(const char* text) {
    if (text) text_ += text;
    return *this;
}

MString& MString::operator+=(double value) {
    MString number;
    number.set(value);
    return *this += number;
}

MString& MString::operator+=(int value) {
    text_ += std::to_string(value);
    return *this;
}

MString& MString::operator+=(unsigned int value) {
    text_ += std::to_string(value);
    return *this;
}

bool MString::operator==(const char* text) const {
    return text_ == (text ? text : "");
}

const char* MString::asChar(int& length) const {
    length = static_cast<int>(text_.size());
    return text_.c_str();
}

MStatus MString::set(const char* text) {
    text_ = text ? text : "";
    return MStatus::kSuccess;
}

MStatus MString::set(const char* text, int byteLength) {
    *this = MString(text, byteLength);
    return MStatus::kSuccess;
}

MStatus MString::set(double value) {
    return set(value, 14);
}

MStatus MString::set(double value, int precision) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", std::clamp(precision, 1, 17), value);
    text_ = buffer;
    return MStatus::kSuccess;
}

int MString::index(char c) const {
    const auto at = text_.find(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int MString::rindex(char c) const {
    const auto at = text_.rfind(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

MString MString::substring(int start, int end) const {
    const int size = static_cast<int>(text_.size());
    start = std::max(start, 0);
    end = std::min(end, size - 1);
    if (start > end) return MString();
    return MString(text_.c_str() + start, end - start + 1);
}

MStatus MString::split(char separator, MStringArray& parts) const {
    parts.clear();
    std::size_t begin = 0;
    while (begin <= text_.size()) {
        const auto at = text_.find(separator, begin);
        const auto stop = at == std::string::npos ? text_.size() : at;
        if (stop > begin)
            parts.append(MString(text_.c_str() + begin, static_cast<int>(stop - begin)));
        if (at == std::string::npos) break;
        begin = at + 1;
    }
    return MStatus::kSuccess;
}

MString& MString::toLowerCase() {
    for (auto& c : text_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

MString& MString::toUpperCase() {
    for (auto& c : text_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

bool MString::isInt() const {
    return wholeNumber(text_, [](const char* b, char** e) { return std::strtol(b, e, 10); });
}

int MString::asInt() const {
    const long value = std::strtol(text_.c_str(), nullptr, 10);
    return static_cast<int>(
        std::clamp(value, static_cast<long>(INT_MIN), static_cast<long>(INT_MAX)));
}

bool MString::isShort() const {
    return isInt() && asInt() >= SHRT_MIN && asInt() <= SHRT_MAX;
}
short MString::asShort() const {
    return static_cast<short>(asInt());
}

bool MString::isUnsigned() const {
    return isInt() && asInt() >= 0;
}
unsigned int MString::asUnsigned() const {
    return static_cast<unsigned int>(std::max(asInt(), 0));
}

bool MString::isDouble() const {
    return wholeNumber(text_, [](const char* b, char** e) { return std::strtod(b, e); });
}
double MString::asDouble() const {
    return std::strtod(text_.c_str(), nullptr);
}

bool MString::isFloat() const {
    return isDouble();
}
float MString::asFloat() const {
    return static_cast<float>(asDouble());
}

MString MString::operator+(const MString& other) const {
    MString sum(*this);
    sum += other;
    return sum;
}
MString MString::operator+(const char* other) const {
    return *this + MString(other);
}
MString MString::operator+(double value) const {
    MString sum(*this);
    sum += value;
    return sum;
}

OPENMAYA_MAJOR_NAMESPACE_OPEN
MString operator+(const char* a, const MString& b) {
    return MString(a) + b;
}
std::ostream& operator<<(std::ostream& out, const MString& text) {
    return out << text.asChar();
}
OPENMAYA_NAMESPACE_CLOSE
