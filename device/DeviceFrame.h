#pragma once
// Placeholder until the report builder lands.
