cli/lexctl_autogen/timestamp: \
  /work/main/cli/CMakeLists.txt \
  /work/main/cli/main.cpp \
  /usr/bin/cmake
