# Checks the targets' link lists against the layers' rules; fails with one line per forbidden link.
# Each layer's own links are checked, so what a layer reaches through another is checked there.
# Run by CTest: cmake -DLINKS=<build>/tests/layers/LayerLinks.cmake -P CheckLayerLinks.cmake
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# What each layer may link besides its own targets: other layers, and Qt modules.
set(may_link_codepage Qt6::Core)
set(may_link_recordstore)
set(may_link_rcon Qt6::Core Qt6::Network)
set(may_link_serverlist recordstore codepage Qt6::Core)
set(may_link_console rcon codepage Qt6::Core Qt6::Widgets)
set(may_link_app console rcon serverlist Qt6::Core Qt6::Widgets)
# The cli also links libedit, for its interactive console's line editing.
set(may_link_cli rcon serverlist recordstore codepage Qt6::Core Qt6::Network PkgConfig::LIBEDIT)
set(may_link_demo rcon Qt6::Core Qt6::Network)
# Header-only targets that any layer may use.
set(everyone_may_link brimhold_includes brimhold_version)

include(${LINKS})

set(faults "")
foreach(layer IN LISTS layers)
  set(allowed ${everyone_may_link} ${layer_${layer}})
  foreach(entry IN LISTS may_link_${layer})
    if(DEFINED layer_${entry})
      list(APPEND allowed ${layer_${entry}})
    else()
      list(APPEND allowed ${entry})
    endif()
  endforeach()
  foreach(target IN LISTS layer_${layer})
    if(NOT DEFINED links_${target})
      list(APPEND faults "${target}: no link list written")
    endif()
    foreach(link IN LISTS links_${target})
      if(NOT link IN_LIST allowed)
        list(APPEND faults "${target} (layer ${layer}) links ${link}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Forbidden links:\n  ${text}")
endif()
message(STATUS "Every layer links only what it may.")
