# Additional clean files
cmake_minimum_required(VERSION 3.16)

if("${CONFIG}" STREQUAL "" OR "${CONFIG}" STREQUAL "Release")
  file(REMOVE_RECURSE
  "bench/CMakeFiles/search_bench_autogen.dir/AutogenUsed.txt"
  "bench/CMakeFiles/search_bench_autogen.dir/ParseCache.txt"
  "bench/search_bench_autogen"
  "cli/CMakeFiles/lexctl_autogen.dir/AutogenUsed.txt"
  "cli/CMakeFiles/lexctl_autogen.dir/ParseCache.txt"
  "cli/lexctl_autogen"
  "exchange/CMakeFiles/exchange_autogen.dir/AutogenUsed.txt"
  "exchange/CMakeFiles/exchange_autogen.dir/ParseCache.txt"
  "exchange/exchange_autogen"
  "maint/CMakeFiles/maint_autogen.dir/AutogenUsed.txt"
  "maint/CMakeFiles/maint_autogen.dir/ParseCache.txt"
  "maint/maint_autogen"
  "platform/CMakeFiles/platform_autogen.dir/AutogenUsed.txt"
  "platform/CMakeFiles/platform_autogen.dir/ParseCache.txt"
  "platform/platform_autogen"
  "store/CMakeFiles/store_autogen.dir/AutogenUsed.txt"
  "store/CMakeFiles/store_autogen.dir/ParseCache.txt"
  "store/store_autogen"
  "viewer/CMakeFiles/Lexora_autogen.dir/AutogenUsed.txt"
  "viewer/CMakeFiles/Lexora_autogen.dir/ParseCache.txt"
  "viewer/CMakeFiles/viewer_shell_autogen.dir/AutogenUsed.txt"
  "viewer/CMakeFiles/viewer_shell_autogen.dir/ParseCache.txt"
  "viewer/Lexora_autogen"
  "viewer/viewer_shell_autogen"
  )
endif()
