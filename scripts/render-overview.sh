#!/usr/bin/env bash
# Renders the round-1 overview dialog for the window's defaults into docs/overview.png, offscreen.
exec bash "$(dirname "$0")/render-tool.sh" velmorin-render-overview docs/overview.png
