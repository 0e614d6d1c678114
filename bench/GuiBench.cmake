# Shared by the benchmarks that load the window: the same start-up steps
# and QML module as tavgui, the simulator fixture, and the helpers of
# bench/common. Included by each of them; built once.
include_guard(GLOBAL)

add_library(tavbenchgui STATIC
    ${PROJECT_SOURCE_DIR}/bench/common/GuiBench.cpp ${PROJECT_SOURCE_DIR}/bench/common/GuiBench.h)
target_include_directories(tavbenchgui PUBLIC ${PROJECT_SOURCE_DIR}/bench/common)
target_link_libraries(tavbenchgui PUBLIC tavqml tavcore tavtestsupport
    Qt6::Gui Qt6::Qml Qt6::Quick Qt6::QuickControls2)
set_target_properties(tavbenchgui PROPERTIES AUTOMOC ON)

