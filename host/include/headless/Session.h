#pragma once
// Headless host: the start and end of a session, as maya.standalone and hostbatch see them.
// Main thread only.

namespace headless {

// Ends the session once: posts MSceneMessage::kMayaExiting, unloads every plug-in (each waits
// for its own threads in uninitializePlugin) and empties the scene. A later call does nothing
// until the next beginSession.
void endSession();
// Starts a new headless scene (after endSession too).
void beginSession();
bool sessionRunning();

}  // namespace headless
