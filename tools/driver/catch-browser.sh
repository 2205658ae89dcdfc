#!/bin/sh
# Stands in for the user's web browser under Wine (Wine's WineBrowser "Browsers" setting): it
# records every address it is asked to open in browser.log beside itself and opens nothing.
printf '%s\n' "$*" >>"$(dirname "$0")/browser.log"
