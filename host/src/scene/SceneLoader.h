#pragma once
// Builds the scene from a scene file's content: checks first, so that a file that cannot be
// opened leaves the current scene alone; then a new scene in the file's units, the nodes through
// their creators, their dynamic attributes, elements and values, and last the connections.

#include <string>

#include "scene/SceneDocument.h"

namespace headless::detail {

class SceneLoader {
  public:
    // `fileName` names the file in messages.
    SceneLoader(const SceneDocument& document, std::string fileName);

    // False with a message when the document cannot be opened: a node type id that no loaded
    // plug-in provides, a node name that is not a name, a default node this host lacks, a
    // connection to a node the file does not have. Touches nothing.
    bool check(std::string* error) const;
    // Replaces the scene. What cannot be restored (an attribute the node type no longer has,
    // a refused connection) is shown as a warning and skipped. Gives the number of warnings.
    int build();

  private:
    void applyUnits();
    void warn(const std::string& message);

    const SceneDocument& document_;
    std::string fileName_;
    int warnings_ = 0;
};

}  // namespace headless::detail
