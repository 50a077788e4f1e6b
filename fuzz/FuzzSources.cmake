# The client's own sources that fuzz targets compile in. The fuzz build compiles them, with the
# libraries under platform/, option/, outside/ and messages/, using clang, which has no GBK
# execution charset: the literal_bytes test keeps every one of them free of non-ASCII literals.
set(PARVEL_FUZZ_CLIENT_SOURCES
  ${CMAKE_SOURCE_DIR}/client/core/CasClient.cpp
  ${CMAKE_SOURCE_DIR}/client/core/XmlReaders.cpp
  ${CMAKE_SOURCE_DIR}/client/core/PictureEx.cpp)
