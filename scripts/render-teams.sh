#!/usr/bin/env bash
# Renders the registered teams' dialog with the sample list into docs/teams.png, offscreen.
exec bash "$(dirname "$0")/render-tool.sh" velmorin-render-teams docs/teams.png
