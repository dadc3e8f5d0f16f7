store/store_autogen/timestamp: \
  /work/main/store/CMakeLists.txt \
  /work/main/store/codes.cpp \
  /work/main/store/codes.h \
  /work/main/store/engine.cpp \
  /work/main/store/engine.h \
  /work/main/store/folders.cpp \
  /work/main/store/folders.h \
  /work/main/store/lawdb.cpp \
  /work/main/store/lawdb.h \
  /work/main/store/likematch.cpp \
  /work/main/store/likematch.h \
  /work/main/store/notation.cpp \
  /work/main/store/notation.h \
  /usr/bin/cmake
