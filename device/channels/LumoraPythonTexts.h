#pragma once
// The Python texts the plug-in runs through Maya's interpreter, calling the companion package
// lumora (python/lumora). Each swallows its own errors, so that a Maya without the package, or
// with a broken one, never fails the plug-in.

// At load and at unload.
inline constexpr const char* kLumoraPluginInit =
    "try:\n"
    "    from lumora.lib import plugin_init\n"
    "    plugin_init()\n"
    "except:\n"
    "    pass\n";
inline constexpr const char* kLumoraPluginCleanup =
    "try:\n"
    "    from lumora.lib import plugin_cleanup\n"
    "    plugin_cleanup()\n"
    "except:\n"
    "    pass\n";

// Around each rebuild of a node's multipliers: the scripting side ignores the attribute changes
// in between.
inline constexpr const char* kLumoraSuppressRefreshOn =
    "try:\n"
    "    import lumora\n"
    "    lumora.suppress_on_attr_refresh = True\n"
    "except:\n"
    "    pass\n";
inline constexpr const char* kLumoraSuppressRefreshOff =
    "try:\n"
    "    import lumora\n"
    "    lumora.suppress_on_attr_refresh = False\n"
    "except:\n"
    "    pass\n";
