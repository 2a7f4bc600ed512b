# The window side: Qt 6 Widgets and libmpv, on top of the core.
find_package(Qt6 REQUIRED COMPONENTS Widgets Gui Test)
find_package(PkgConfig REQUIRED)
pkg_check_modules(MPV REQUIRED IMPORTED_TARGET mpv)
# Paused frame access decodes on its own, with the FFmpeg libraries libmpv is built on.
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libswscale libavutil)

file(GLOB vantrel_gui_sources CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/src/video/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/caption_window/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/timeline/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/app/*.cpp)
list(REMOVE_ITEM vantrel_gui_sources ${CMAKE_CURRENT_SOURCE_DIR}/src/app/main.cpp)
file(GLOB vantrel_gui_headers CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/src/video/*.h
  ${CMAKE_CURRENT_SOURCE_DIR}/src/caption_window/*.h
  ${CMAKE_CURRENT_SOURCE_DIR}/src/timeline/*.h
  ${CMAKE_CURRENT_SOURCE_DIR}/src/app/*.h)

add_library(vantrel_gui STATIC ${vantrel_gui_sources} ${vantrel_gui_headers})
set_target_properties(vantrel_gui PROPERTIES AUTOMOC ON)
target_include_directories(vantrel_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src)
# The window links the video code in: its player loads FFmpeg's libraries anyway.
target_link_libraries(vantrel_gui PUBLIC vantrel_av Qt6::Widgets Qt6::Gui PkgConfig::MPV
  PkgConfig::FFMPEG)
# The generated caption font and caret (tools/make_caption_font.cpp) and the icons
# (tools/make_icons.cpp), built into the program.
file(GLOB vantrel_icons RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/icons/*.png)
qt_add_resources(vantrel_gui vantrel_resources PREFIX "/" BASE resources FILES
  resources/caption_font.png
  resources/caption_caret.png
  ${vantrel_icons})

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/src/app/main.cpp)
  add_executable(vantrel ${CMAKE_CURRENT_SOURCE_DIR}/src/app/main.cpp)
  target_link_libraries(vantrel PRIVATE vantrel_gui)
endif()
