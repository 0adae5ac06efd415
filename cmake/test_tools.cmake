# What happens when a tool that a test needs is missing. A plain build, as a
# user runs it, says so and goes on without that test; the presets and the
# test command (PALLIMORVENQUIST_REQUIRE_TEST_TOOLS=ON) stop at the
# configure step, naming the tool, so that no test quietly vanishes.
#
#   pallimorvenquist_missing_test_tool(TOOL WHAT)
#     TOOL is the missing tool, WHAT the tests that need it ("the tests").
function(pallimorvenquist_missing_test_tool tool what)
  if(PALLIMORVENQUIST_REQUIRE_TEST_TOOLS)
    message(FATAL_ERROR "${tool} not found, and this build needs it for ${what} "
                        "(bash tests/install-packages.sh installs it)")
  endif()
  message(WARNING "${tool} not found, so this build leaves out ${what} "
                  "(bash tests/install-packages.sh installs it)")
endfunction()
