# The one version of the programs, the About dialog, the package and the
# metainfo: the project's version, with the commit ("4.0.2+g1a2b3c4") when
# the checkout is not at the release tag v<version>. The date of the last
# commit stamps the package and the manual pages, so that two builds of one
# commit give the same bytes.
find_package(Git QUIET)
set(TAV_VERSION ${PROJECT_VERSION})
set(TAV_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
    execute_process(COMMAND ${GIT_EXECUTABLE} describe --tags --exact-match --match v${PROJECT_VERSION} HEAD
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} RESULT_VARIABLE _not_tagged OUTPUT_QUIET ERROR_QUIET)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --short=7 HEAD
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE _commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(_not_tagged AND _commit)
        set(TAV_VERSION ${PROJECT_VERSION}+g${_commit})
    endif()
    if(NOT TAV_SOURCE_DATE_EPOCH)
        execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE TAV_SOURCE_DATE_EPOCH
            OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    # A new commit or checkout configures again.
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE _git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(EXISTS ${_git_dir}/logs/HEAD)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_git_dir}/logs/HEAD)
    endif()
endif()
if(NOT TAV_SOURCE_DATE_EPOCH)
    string(TIMESTAMP TAV_SOURCE_DATE_EPOCH "%s" UTC)
endif()
set(ENV{SOURCE_DATE_EPOCH} ${TAV_SOURCE_DATE_EPOCH})
string(TIMESTAMP TAV_RELEASE_DATE "%Y-%m-%d" UTC)
message(STATUS "TavGUI version ${TAV_VERSION}")

configure_file(${CMAKE_CURRENT_LIST_DIR}/TavVersion.h.in ${PROJECT_BINARY_DIR}/generated/TavVersion.h @ONLY)
