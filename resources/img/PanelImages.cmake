# The panel images as module resources of type PNG, ids 101-120, as <type> <id> <file> triples for
# zr_embed_resources. The files are drawn by zr4400-panelgen (tools/panelgen) from the panel's layout
# table and committed.
set(ZR_PANEL_IMAGE_RESOURCES
  PNG 101 ${CMAKE_CURRENT_LIST_DIR}/back.png
  PNG 102 ${CMAKE_CURRENT_LIST_DIR}/plug_off.png
  PNG 103 ${CMAKE_CURRENT_LIST_DIR}/plug_on.png
  PNG 104 ${CMAKE_CURRENT_LIST_DIR}/knob.png
  PNG 105 ${CMAKE_CURRENT_LIST_DIR}/knob_big.png
  PNG 106 ${CMAKE_CURRENT_LIST_DIR}/knob_small.png
  PNG 107 ${CMAKE_CURRENT_LIST_DIR}/switch2.png
  PNG 108 ${CMAKE_CURRENT_LIST_DIR}/switch3.png
  PNG 109 ${CMAKE_CURRENT_LIST_DIR}/switch4.png
  PNG 110 ${CMAKE_CURRENT_LIST_DIR}/switch6.png
  PNG 111 ${CMAKE_CURRENT_LIST_DIR}/switch2orange.png
  PNG 112 ${CMAKE_CURRENT_LIST_DIR}/switch2horiz.png
  PNG 113 ${CMAKE_CURRENT_LIST_DIR}/led.png
  PNG 114 ${CMAKE_CURRENT_LIST_DIR}/button_off.png
  PNG 115 ${CMAKE_CURRENT_LIST_DIR}/button_on.png
  PNG 116 ${CMAKE_CURRENT_LIST_DIR}/prev.png
  PNG 117 ${CMAKE_CURRENT_LIST_DIR}/next.png
  PNG 118 ${CMAKE_CURRENT_LIST_DIR}/learn.png
  PNG 119 ${CMAKE_CURRENT_LIST_DIR}/unlearn.png
  PNG 120 ${CMAKE_CURRENT_LIST_DIR}/kick.png
)
