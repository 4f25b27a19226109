# SPDX-License-Identifier: GPL-3.0-or-later
# Shared build settings and the helpers every folder uses to declare its library.

add_library(ampvane_options INTERFACE)
target_compile_features(ampvane_options INTERFACE cxx_std_20)
set_target_properties(ampvane_options PROPERTIES INTERFACE_CXX_EXTENSIONS OFF)
target_compile_options(ampvane_options INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(ampvane_options INTERFACE $<$<CONFIG:Debug>:_GLIBCXX_ASSERTIONS>)
target_include_directories(ampvane_options INTERFACE ${PROJECT_SOURCE_DIR}/src)

# Precompiled headers shorten a build from nothing (scripts/run.sh turns them on). One header is
# compiled for all core libraries and one for all window libraries, and every library reuses it.
option(AMPVANE_PCH "Precompile the heavy standard library and Qt headers" OFF)
set(AMPVANE_CORE_PCH_HEADERS <algorithm> <filesystem> <functional> <map> <memory> <optional> <string>
  <string_view> <vector>)
set(AMPVANE_UI_PCH_HEADERS ${AMPVANE_CORE_PCH_HEADERS} <QApplication> <QCheckBox> <QComboBox> <QDialog>
  <QGridLayout> <QGroupBox> <QHBoxLayout> <QLabel> <QLineEdit> <QPainter> <QPushButton> <QString>
  <QVBoxLayout> <QWidget>)

# ampvane_use_pch(<target> core|ui): <target> reuses the family's precompiled header.
function(ampvane_use_pch target family)
  if(NOT AMPVANE_PCH)
    return()
  endif()
  set(host ampvane_${family}_pch)
  if(NOT TARGET ${host})
    add_library(${host} STATIC ${PROJECT_SOURCE_DIR}/cmake/pch_host.cpp)
    target_link_libraries(${host} PRIVATE ampvane_options)
    if(family STREQUAL "ui")
      target_link_libraries(${host} PRIVATE Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport)
    endif()
    string(TOUPPER ${family} upper)
    target_precompile_headers(${host} PRIVATE ${AMPVANE_${upper}_PCH_HEADERS})
  endif()
  target_precompile_headers(${target} REUSE_FROM ${host})
endfunction()

# ampvane_core_library(<subsystem> [DEPS targets...])
# Builds ampvane_<subsystem> from every .cpp in the calling folder. Core code links no Qt.
function(ampvane_core_library subsystem)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(target ampvane_${subsystem})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_link_libraries(${target} PUBLIC ampvane_options ${ARG_DEPS})
    ampvane_use_pch(${target} core)
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ampvane_options ${ARG_DEPS})
  endif()
endfunction()

# ampvane_ui_library(<subsystem> [DEPS targets...])
# Builds ampvane_<subsystem>_ui from the .cpp files of the calling ui/ folder, with moc.
function(ampvane_ui_library subsystem)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  set(target ampvane_${subsystem}_ui)
  list(FILTER sources INCLUDE REGEX "\\.(cpp|qrc)$|\\.h$")
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${target} STATIC ${sources})
    set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON)
    target_link_libraries(${target} PUBLIC ampvane_options ${ARG_DEPS}
      Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport)
    ampvane_use_pch(${target} ui)
    # Every window layer uses the shared message boxes and Qt helpers.
    if(NOT subsystem STREQUAL "common")
      target_link_libraries(${target} PUBLIC ampvane_common_ui)
    endif()
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ampvane_options ${ARG_DEPS})
  endif()
endfunction()

# Subsystems in dependency order, with what each core library links.
set(AMPVANE_SUBSYSTEMS common project picture model analysis data advice wizard workbench tools online help chart)
