viewer/Lexora_autogen/timestamp: \
  /work/main/viewer/CMakeLists.txt \
  /work/main/viewer/main.cpp \
  /usr/bin/cmake
