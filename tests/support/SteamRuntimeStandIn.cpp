// A module that only has to be loaded under this name: its presence marks the Steam build.
