# Inventory parsers, the Linux stand-in for wmic and the data manager's gathering.
add_unit_test(tst_inventoryParsers SOURCES inventory/tst_inventoryParsers.cpp
    LIBS tarnix_inventory)
add_unit_test(tst_wmicTable SOURCES inventory/tst_wmicTable.cpp LIBS tarnix_inventory)
add_unit_test(tst_linuxInventory SOURCES inventory/tst_linuxInventory.cpp
    LIBS tarnix_platform_internals tarnix_sysio)
add_unit_test(tst_inventoryTool SOURCES inventory/tst_inventoryTool.cpp)
add_dependencies(tst_inventoryTool tarnix-inventory)
add_unit_test(tst_dataManagerInventory SOURCES inventory/tst_dataManagerInventory.cpp
    LIBS tarnix_appdata tarnix_log tarnix_platform tarnix_resources)
