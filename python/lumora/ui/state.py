"""What the window, the menu and the dialogs share during a Maya session."""

# The mapping made last in the Map Channels dialog (a lumora.rig.Mapping), which baking a take
# applies to the take's clip reader; None until a mapping is made or loaded.
mapping = None
