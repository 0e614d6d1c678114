# Writes a two-line outer project around the tree, configures it and builds
# tavcore. The outer build stays between runs, so a rerun only checks it.
file(WRITE ${WORK}/src/CMakeLists.txt
    "cmake_minimum_required(VERSION 3.25)\n"
    "project(Outer LANGUAGES CXX)\n"
    "add_subdirectory(\"${TAV_SOURCE}\" tav)\n")

execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${WORK}/src -B ${WORK}/build -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
    RESULT_VARIABLE configured)
if(NOT configured EQUAL 0)
    message(FATAL_ERROR "the outer project does not configure with this tree as a subdirectory")
endif()

# Paths below the outer build are hashed relative to it, so that the cache
# serves a rebuilt outer tree.
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${WORK}
        ${CMAKE_COMMAND} --build ${WORK}/build --target tavcore --parallel 2
    RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "tavcore does not build inside the outer project")
endif()
