// Start-up loading of every resource, in its fixed order.
#pragma once

void loadResources();
