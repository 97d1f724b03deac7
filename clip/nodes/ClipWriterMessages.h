#pragma once
// The one way a clip writer thread tells the user something: every message of the writer threads
// goes through here.

#include <string>

// An error of a writer thread, one line.
void reportClipWriterError(const std::string& text);
