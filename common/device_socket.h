// Where clients and the service find the device socket.
#pragma once

// KESTATI_DEVICE when set and not empty, else the standard path.
const char* DeviceSocketPath();
