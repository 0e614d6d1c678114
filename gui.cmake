# The QML module "com.norvane.qml": the window's pages, views, delegates,
# dialogs, shared controls and singletons, and what QML sees of the core.
# Shared by the GUI, its Qt Quick tests and the window benchmarks; kept out
# of tavcore, which stays free of QML. The library is its own static plugin.
add_library(tavqml STATIC)
target_sources(tavqml PRIVATE src/ui/QmlStartup.cpp src/ui/QmlStartup.h src/ui/QmlTypes.cpp src/ui/QmlTypes.h
    src/ui/PassView.cpp src/ui/PassView.h src/ui/PassTimeline.cpp src/ui/PassTimeline.h src/ui/SkyPlot.cpp src/ui/SkyPlot.h
    src/ui/DecimalInput.h src/ui/NotificationModel.cpp src/ui/NotificationModel.h
    src/ui/WindowGeometry.cpp src/ui/WindowGeometry.h)
# Qt's generated type registration names the module's headers bare; every
# other file includes them as "ui/Name.h" from src/.
target_include_directories(tavqml PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src/ui)
target_link_libraries(tavqml PUBLIC tavcore Qt6::Gui Qt6::Qml Qt6::Quick)
# The core's classes that QML names are declared from src/ui/QmlTypes.h.
qt_extract_metatypes(tavcore)

# Each file is a type named after it, at its path below qml/. The files of
# qml/types/ restyle Qt's own controls, some under the same names (Button,
# Label, Pane...): they stay out of the module's type list, so that importing
# the module never changes which Button a page gets, and the pages take them
# with `import "../types"` as before.
file(GLOB_RECURSE TAVQML_FILES RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/qml/*.qml)
foreach(file ${TAVQML_FILES})
    string(REGEX REPLACE "^qml/" "" alias ${file})
    set_source_files_properties(${file} PROPERTIES QT_RESOURCE_ALIAS ${alias})
    if(alias MATCHES "^singletons/")
        set_source_files_properties(${file} PROPERTIES QT_QML_SINGLETON_TYPE TRUE)
    elseif(alias MATCHES "^types/")
        set_source_files_properties(${file} PROPERTIES QT_QML_SKIP_QMLDIR_ENTRY TRUE)
    endif()
endforeach()
qt_add_qml_module(tavqml
    URI com.norvane.qml
    VERSION 1.0
    RESOURCE_PREFIX /qt/qml
    OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/qml/com/norvane/qml
    PLUGIN_TARGET tavqml
    # For the tools: the base types of the module's items come from there.
    DEPENDENCIES QtQuick
    QML_FILES ${TAVQML_FILES})
# A static plugin, which every executable linking it imports (Qt adds the
# import to them).
target_compile_definitions(tavqml PRIVATE QT_STATICPLUGIN)
# Compiled to byte code as the engine would at run time, not to C++.
set_target_properties(tavqml PROPERTIES QT_QMLCACHEGEN_ARGUMENTS --only-bytecode)

# Fonts, pictures and the style's settings, at the paths the pages name.
file(GLOB_RECURSE TAVQML_ASSETS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/fonts/*.ttf ${CMAKE_CURRENT_SOURCE_DIR}/images/*.svg
    ${CMAKE_CURRENT_SOURCE_DIR}/images/*.png)
qt_add_resources(tavqml tavqml_assets PREFIX "/" FILES ${TAVQML_ASSETS} qtquickcontrols2.conf)

# The GUI executable: start-up; its start-up options and frame report are
# the window's alone.
qt_add_executable(tavgui src/app/main.cpp src/ui/FrameReport.cpp src/ui/LaunchOptions.cpp)
target_link_libraries(tavgui PRIVATE tavqml tavdemo tavcore Qt6::Gui Qt6::Qml Qt6::Quick Qt6::QuickControls2)
