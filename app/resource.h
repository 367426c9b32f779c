// Resource ids shared by the resource script and the start-up code.
#pragma once

#define IDI_TOLVEX 1            // icon group: the application's icon
#define IDI_TOLVEX_IMAGE 30001  // its one 32 x 32, 24-bit image
#define IDB_BANNER 101          // the Penwick Inc banner, 320 x 131, 24 bits
