# The window's QML, as three modules each a static plugin, which every
# executable linking it imports (Qt adds the import to them):
# - "com.norvane.qml.singletons": the style (and the types of its parts), the
#   UI preferences, the texts and the decimal parser, which everything else
#   uses;
# - "com.norvane.qml.types": the shared controls of qml/types/, which restyle
#   Qt's own, some under the same names (Button, Label, Pane...). A page takes
#   them by importing the module after QtQuick.Controls (the later import
#   wins), so importing "com.norvane.qml" never changes which Button a file
#   gets;
# - "com.norvane.qml": the window's pages, views, delegates and dialogs, and
#   what QML sees of the core; importing it imports the singletons too.
# Shared by the GUI, its Qt Quick tests and the window benchmarks; kept out
# of tavcore, which stays free of QML. Each file is a type named after it.
function(tav_add_qml_module target uri)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "FILES;SOURCES;IMPORTS")
    string(REPLACE "." "/" path ${uri})
    qt_add_qml_module(${target}
        URI ${uri}
        VERSION 1.0
        RESOURCE_PREFIX /qt/qml
        OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/qml/${path}
        PLUGIN_TARGET ${target}
        # For the tools: the base types of the module's items come from there.
        DEPENDENCIES QtQuick
        IMPORTS ${arg_IMPORTS}
        SOURCES ${arg_SOURCES}
        QML_FILES ${arg_FILES})
    target_compile_definitions(${target} PRIVATE QT_STATICPLUGIN)
    # Compiled to byte code as the engine would at run time, not to C++.
    set_target_properties(${target} PROPERTIES QT_QMLCACHEGEN_ARGUMENTS --only-bytecode)
endfunction()

# The files below qml/DIR/, each at its path below that folder in its
# module; with DIR "." those of neither qml/types/ nor qml/singletons/.
function(tav_qml_files out dir)
    set(below "${dir}/")
    if(dir STREQUAL ".")
        set(below "")
    endif()
    file(GLOB_RECURSE files RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/qml/${below}*.qml)
    if(dir STREQUAL ".")
        list(FILTER files EXCLUDE REGEX "^qml/(types|singletons)/")
    endif()
    foreach(file ${files})
        string(REGEX REPLACE "^qml/${below}" "" alias ${file})
        set_source_files_properties(${file} PROPERTIES QT_RESOURCE_ALIAS ${alias})
    endforeach()
    set(${out} ${files} PARENT_SCOPE)
endfunction()

add_library(tavqmlsingletons STATIC)
target_include_directories(tavqmlsingletons PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src/ui)
target_link_libraries(tavqmlsingletons PUBLIC tavcore Qt6::Gui Qt6::Qml Qt6::Quick)
tav_qml_files(TAVQML_SINGLETON_FILES singletons)
# The parts of the style are types of their own, so that the tools know
# their properties; the files that say "pragma Singleton" are the singletons.
foreach(file ${TAVQML_SINGLETON_FILES})
    file(STRINGS ${file} pragma REGEX "^pragma Singleton")
    if(pragma)
        set_source_files_properties(${file} PROPERTIES QT_QML_SINGLETON_TYPE TRUE)
    endif()
endforeach()
tav_add_qml_module(tavqmlsingletons com.norvane.qml.singletons
    SOURCES src/ui/DecimalInput.h FILES ${TAVQML_SINGLETON_FILES})

add_library(tavqmltypes STATIC)
target_link_libraries(tavqmltypes PUBLIC tavqmlsingletons)
tav_qml_files(TAVQML_TYPE_FILES types)
tav_add_qml_module(tavqmltypes com.norvane.qml.types FILES ${TAVQML_TYPE_FILES})

add_library(tavqml STATIC)
target_sources(tavqml PRIVATE src/ui/QmlStartup.cpp src/ui/QmlStartup.h src/ui/QmlTypes.cpp src/ui/QmlTypes.h
    src/ui/PassView.cpp src/ui/PassView.h src/ui/PassTimeline.cpp src/ui/PassTimeline.h src/ui/SkyPlot.cpp src/ui/SkyPlot.h
    src/ui/NotificationModel.cpp src/ui/NotificationModel.h src/ui/QtRuntime.h
    src/ui/WindowGeometry.cpp src/ui/WindowGeometry.h)
# Qt's generated type registration names the module's headers bare; every
# other file includes them as "ui/Name.h" from src/.
target_include_directories(tavqml PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src/ui)
target_link_libraries(tavqml PUBLIC tavqmltypes tavqmlsingletons tavcore Qt6::Gui Qt6::Qml Qt6::Quick)
# The core's classes that QML names are declared from src/ui/QmlTypes.h.
qt_extract_metatypes(tavcore)
tav_qml_files(TAVQML_FILES .)
tav_add_qml_module(tavqml com.norvane.qml
    IMPORTS com.norvane.qml.singletons FILES ${TAVQML_FILES})

# Fonts, pictures and the style's settings, at the paths the pages name.
file(GLOB_RECURSE TAVQML_ASSETS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/fonts/*.ttf ${CMAKE_CURRENT_SOURCE_DIR}/images/*.svg
    ${CMAKE_CURRENT_SOURCE_DIR}/images/*.png)
qt_add_resources(tavqml tavqml_assets PREFIX "/" FILES ${TAVQML_ASSETS} qtquickcontrols2.conf)

# The GUI executable: start-up; its start-up options and frame report are
# the window's alone.
qt_add_executable(tavgui src/app/main.cpp src/ui/FrameReport.cpp src/ui/LaunchOptions.cpp)
target_link_libraries(tavgui PRIVATE tavqml tavdemo tavcore Qt6::Gui Qt6::Qml Qt6::Quick Qt6::QuickControls2)
