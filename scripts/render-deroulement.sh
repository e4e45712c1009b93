#!/usr/bin/env bash
# Renders the cup's window at round 2 of an invented cup into docs/deroulement.png, offscreen.
exec bash "$(dirname "$0")/render-tool.sh" velmorin-render-deroulement docs/deroulement.png
