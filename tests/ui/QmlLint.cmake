# Lints the module's QML as strictly as Qt's own lint target, and the tests'
# QML more loosely (they reach the harness through context properties).
# Fails on a name the tool cannot resolve in the module (an unqualified
# access, an unknown type or property, a missing import), on more than
# MAX_WARNINGS warnings in all, and on a test file that does not parse or
# whose imports do not resolve.
# Run as: cmake -DQMLLINT=... -DIMPORT_DIR=... -DMODULE_FILES=a;b -DTEST_FILES=c;d
#         -DMAX_WARNINGS=20 -P QmlLint.cmake
string(REPLACE "," ";" MODULE_FILES "${MODULE_FILES}")
string(REPLACE "," ";" TEST_FILES "${TEST_FILES}")
execute_process(COMMAND ${QMLLINT} -I ${IMPORT_DIR} ${MODULE_FILES}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
set(report "${out}${err}")
message("${report}")
string(REGEX MATCHALL "Warning: [^\n]*" warnings "${report}")
list(LENGTH warnings count)
message("${count} warning(s) in the module's QML")
set(unresolved "Unqualified access|not found|not resolved|No type found|unknown grouped property|Failed to import|Error: ")
set(failed "")
foreach(line ${warnings})
    if(line MATCHES "${unresolved}")
        list(APPEND failed "${line}")
    endif()
endforeach()
if(report MATCHES "Error: ")
    message(FATAL_ERROR "qmllint could not read the module's QML")
endif()
if(failed)
    string(REPLACE ";" "\n" failed "${failed}")
    message(FATAL_ERROR "names the tool cannot resolve:\n${failed}")
endif()
if(count GREATER MAX_WARNINGS)
    message(FATAL_ERROR "${count} warnings, more than ${MAX_WARNINGS}")
endif()

execute_process(COMMAND ${QMLLINT} -I ${IMPORT_DIR} --unqualified info --type info --property info ${TEST_FILES}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the tests' QML:\n${out}${err}")
endif()
