# What QML sees of the core, shared by the GUI and its Qt Quick tests. Kept
# out of tavcore, which stays free of the QML start-up.
add_library(tavqml STATIC src/ui/QmlRegistration.cpp src/ui/QmlRegistration.h
    src/ui/PassTimeline.cpp src/ui/PassTimeline.h src/ui/SkyPlot.cpp src/ui/SkyPlot.h
    src/ui/DecimalInput.cpp src/ui/DecimalInput.h src/ui/NotificationModel.cpp src/ui/NotificationModel.h)
target_include_directories(tavqml PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src/ui)
target_link_libraries(tavqml PUBLIC tavcore Qt6::Gui Qt6::Qml Qt6::Quick)

# The GUI executable: start-up plus the QML pages, compiled into resources;
# its start-up options and frame report are the window's alone.
qt_add_executable(tavgui src/main.cpp src/ui/FrameReport.cpp src/ui/LaunchOptions.cpp)
target_link_libraries(tavgui PRIVATE tavqml tavdemo tavcore Qt6::Gui Qt6::Qml Qt6::Quick Qt6::QuickControls2)

file(GLOB_RECURSE TAVGUI_QML RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/qml/*.qml)
file(GLOB_RECURSE TAVGUI_ASSETS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/fonts/*.ttf ${CMAKE_CURRENT_SOURCE_DIR}/images/*.svg
    ${CMAKE_CURRENT_SOURCE_DIR}/images/*.png)
qt_add_resources(tavgui tavgui_resources PREFIX "/"
    FILES ${TAVGUI_QML} ${TAVGUI_ASSETS} qtquickcontrols2.conf)
