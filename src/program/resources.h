// Start-up loading of every resource, in its fixed order.
#pragma once

// With showProgress (a real-time run) the window shows a bar that grows with each step.
void loadResources(bool showProgress);
