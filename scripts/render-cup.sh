#!/usr/bin/env bash
# Renders the main window with a cup open into docs/cup.png, offscreen.
exec bash "$(dirname "$0")/render-tool.sh" velmorin-render-cup docs/cup.png
