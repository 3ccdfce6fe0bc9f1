# The panel images as module resources of type PNG, ids 101-120: they join the module's resource table
# through the global property ZR_MODULE_RESOURCES (<type> <id> <file> triples). The files are drawn by
# zr4400-panelgen (tools/panelgen) from the panel's layout table and committed.
set(ZR_PANEL_IMAGE_NAMES back plug_off plug_on knob knob_big knob_small switch2 switch3 switch4 switch6
    switch2orange switch2horiz led button_off button_on prev next learn unlearn kick)
set(ZR_PANEL_IMAGE_ID 101)
foreach(name ${ZR_PANEL_IMAGE_NAMES})
  set_property(GLOBAL APPEND PROPERTY ZR_MODULE_RESOURCES PNG ${ZR_PANEL_IMAGE_ID} ${CMAKE_CURRENT_LIST_DIR}/${name}.png)
  math(EXPR ZR_PANEL_IMAGE_ID "${ZR_PANEL_IMAGE_ID} + 1")
endforeach()
