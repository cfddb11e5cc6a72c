# Inventory parsers, the Linux stand-in for wmic, the hardware page and the logon task.
add_unit_test(tst_inventoryParsers SOURCES inventory/tst_inventoryParsers.cpp
    LIBS tarnix_inventory)
