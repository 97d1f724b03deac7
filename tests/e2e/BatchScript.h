#pragma once
// A hostbatch script under construction. Commands whose output a test reads go into named
// sections: the script prints a marker line before and after them, so that the test can find
// their results and messages in the program's output (see BatchOutput).

#include <string>
#include <vector>

class BatchScript {
  public:
    // One or more statements, as written.
    BatchScript& add(const std::string& statements);
    // Statements whose output is read back under key.
    BatchScript& section(const std::string& key, const std::string& statements);
    // The host's own wall-clock wait, during which live nodes keep being refreshed.
    BatchScript& sleep(double seconds);

    const std::string& text() const { return text_; }

    static std::string beginMarker(const std::string& key) { return "@@begin " + key + "@@"; }
    static std::string endMarker(const std::string& key) { return "@@end " + key + "@@"; }
    static std::string quoted(const std::string& text) { return "\"" + text + "\""; }

  private:
    std::string text_;
};

// The output of one hostbatch run, split by the sections of its script.
class BatchOutput {
  public:
    explicit BatchOutput(std::string output);

    const std::string& all() const { return output_; }
    // Whether the section was printed completely (both markers, in order).
    bool hasSection(const std::string& key) const;
    // The lines printed between the markers of the section.
    std::vector<std::string> lines(const std::string& key) const;
    // The results echoed in the section ("// Result: ... //"), in order.
    std::vector<std::string> results(const std::string& key) const;
    // The single result of the section's last command that gave one; empty when none did.
    std::string lastResult(const std::string& key) const;
    // The results of the section as numbers (results that are not numbers give NaN).
    std::vector<double> numbers(const std::string& key) const;
    // Whether a line of the section contains the text.
    bool shows(const std::string& key, const std::string& text) const;
    // Whether any line of the whole output contains the text.
    bool showsAnywhere(const std::string& text) const;

  private:
    std::string output_;
};
