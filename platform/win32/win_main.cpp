// Windows GUI entry point.
