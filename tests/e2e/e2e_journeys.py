"""Journeys through the menus: settings, ranking, help, giving up, the next problem."""

JOURNEYS = []
