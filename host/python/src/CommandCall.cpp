#include "CommandCall.h"

#include "core/ThreadCheck.h"
#include "script/Interpreter.h"

namespace py = pybind11;

namespace headless::python {

namespace {

using detail::Word;

std::string valueText(const py::handle& value) {
    if (py::isinstance<py::bool_>(value)) return value.cast<bool>() ? "1" : "0";
    if (py::isinstance<py::int_>(value)) return py::str(value);
    if (py::isinstance<py::float_>(value)) return detail::formatNumber(value.cast<double>());
    if (py::isinstance<py::str>(value)) {
        std::string text = value.cast<std::string>();
        // A command reads its words as Maya strings, which end at a NUL: the rest would be
        // dropped, and the command would act on another file or node than the one named.
        if (text.find('\0') != std::string::npos) {
            throw py::value_error("embedded null character in a command argument");
        }
        return text;
    }
    if (value.is_none()) throw py::type_error("None is not a valid argument value.");
    // A mapping or a set has no order and no text a command could read.
    if (py::isinstance<py::dict>(value) || py::isinstance<py::set>(value) ||
        py::isinstance<py::frozenset>(value)) {
        throw py::type_error(std::string(py::str(value.get_type().attr("__name__"))) +
                             " is not a valid argument value.");
    }
    return py::str(value);
}

bool isSequence(const py::handle& value) {
    return py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value);
}

// Quoted, so that a value that starts with '-' is never taken for a flag.
void appendValue(std::vector<Word>& words, const py::handle& value) {
    if (isSequence(value)) {
        for (const auto& item : value) appendValue(words, item);
        return;
    }
    words.push_back(Word{valueText(value), true, false});
}

void appendFlag(std::vector<Word>& words, const std::string& flag, const py::handle& value) {
    words.push_back(Word{"-" + flag, false, false});
    if (py::isinstance<py::bool_>(value)) {
        words.push_back(Word{value.cast<bool>() ? "1" : "0", true, true});
    } else {
        appendValue(words, value);
    }
}

// Names as a tuple (type=("a", "b")) mean the flag given several times, as a list does: none
// of the host's flags takes several names at once. A tuple of numbers stays one flag with several
// values, such as a time range.
bool isNameTuple(const py::handle& value) {
    if (!py::isinstance<py::tuple>(value)) return false;
    for (const auto& item : value) {
        if (!py::isinstance<py::str>(item)) return false;
    }
    return true;
}

}  // namespace

std::vector<Word> wordsFromCall(const py::tuple& args, const py::dict& kwargs) {
    std::vector<Word> words;
    for (const auto& item : kwargs) {
        const std::string flag = py::str(item.first);
        if (py::isinstance<py::list>(item.second) || isNameTuple(item.second)) {
            // A flag given several times, as Maya's cmds takes it: type=["a", "b"].
            for (const auto& value : item.second) appendFlag(words, flag, value);
        } else {
            appendFlag(words, flag, item.second);
        }
    }
    for (const auto& value : args) appendValue(words, value);
    return words;
}

py::object toPython(const detail::ResultValue& result) {
    using Kind = detail::ResultValue::Kind;
    switch (result.kind) {
        case Kind::None:
            return py::none();
        case Kind::Bool:
            return py::bool_(result.numbers.front() != 0.0);
        case Kind::Int:
            return py::int_(static_cast<long long>(result.numbers.front()));
        case Kind::Double:
            return py::float_(result.numbers.front());
        case Kind::String:
            return py::str(result.texts.front());
        case Kind::IntArray: {
            py::list list;
            for (const double n : result.numbers) list.append(py::int_(static_cast<long long>(n)));
            return std::move(list);
        }
        case Kind::DoubleArray: {
            py::list list;
            for (const double n : result.numbers) list.append(py::float_(n));
            if (!result.compound) return std::move(list);
            py::list outer;
            outer.append(py::tuple(list));
            return std::move(outer);
        }
        case Kind::StringArray: {
            py::list list;
            for (const auto& text : result.texts) list.append(py::str(text));
            if (!result.compound) return std::move(list);
            py::list outer;
            outer.append(py::tuple(list));
            return std::move(outer);
        }
    }
    return py::none();
}

void requireMainThreadForPython(const std::string& call) {
    if (detail::onMainThread()) return;
    detail::requireMainThread(call.c_str());  // counted and reported, as any API call
    throw std::runtime_error(call +
                             " is for Maya's main thread only: from another thread, hand the "
                             "work over with maya.utils.executeDeferred.");
}

py::object callCommand(const std::string& name, const py::tuple& args, const py::dict& kwargs) {
    requireMainThreadForPython("maya.cmds." + name);
    const std::vector<Word> words = wordsFromCall(args, kwargs);
    const detail::StatementOutcome outcome = detail::runCommand(name, words, false, false);
    if (!outcome.status) throw std::runtime_error(outcome.error);
    return toPython(outcome.result);
}

}  // namespace headless::python
