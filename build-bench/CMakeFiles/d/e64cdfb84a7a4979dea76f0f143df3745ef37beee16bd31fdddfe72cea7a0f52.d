maint/maint_autogen/timestamp: \
  /work/main/maint/CMakeLists.txt \
  /work/main/maint/lawimport.cpp \
  /work/main/maint/lawimport.h \
  /usr/bin/cmake
