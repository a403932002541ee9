# Warnings are errors in our own code; third-party headers come in as system
# includes, so they never trip this.
function(tovin_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
