#!/usr/bin/env bash
# Renders the guide (F1) at its first section into docs/help.png, offscreen.
exec bash "$(dirname "$0")/render-tool.sh" velmorin-render-help docs/help.png
