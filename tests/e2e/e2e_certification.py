"""Journeys of a certification: the printer check, the self-assessment, the certificate."""

JOURNEYS = []
