// recurring bookings
