#!/usr/bin/env bash
# Renders the plan search dialog, with wishes typed in, into docs/plan-search.png, offscreen.
exec bash "$(dirname "$0")/render-tool.sh" velmorin-render-plansearch docs/plan-search.png
