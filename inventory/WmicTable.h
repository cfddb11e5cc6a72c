#pragma once
// Placeholder until the inventory parsers land.
