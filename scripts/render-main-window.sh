#!/usr/bin/env bash
# Renders the main window after the typical use into docs/main-window.png, offscreen.
exec bash "$(dirname "$0")/render-tool.sh" velmorin-render-window docs/main-window.png
