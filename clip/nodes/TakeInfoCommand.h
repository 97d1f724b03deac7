#pragma once
// "mocapTakeInfo <clip path>": what is known about the take at a clip path, so that a script can
// wait for a save (from the main thread, without reading the encrypted file) and list takes.
//
// The result is a string array of names and values, in pairs:
//   state       "writing", "written" or "failed" for a save of this session (the newest to that
//               path); "file" for a clip file that no save of this session wrote; "unreadable"
//               for a file that does not load; "missing" when there is no file
//   clip        the clip path
//   frames      frames in the take
//   duration    seconds from its first frame to its last
//   video       the video path of the save ("" when it asked for none)
//   videoState  "none", "waiting", "received", "partial" or "failed" ("" for a file)
//   videoBytes  bytes of video received
//   reason      why the clip or the video is missing, partial or unreadable ("" when nothing is)

#include <maya/MArgList.h>
#include <maya/MStatus.h>

#include "plugin/messages/PluginClassBases.h"

class TakeInfoCommand : public PluginCommand<TakeInfoCommand> {
  public:
    static const char* const commandName;  // "mocapTakeInfo"

    MStatus doIt(const MArgList& args) override;
};
