"""What another local user does (run as uid 65534 by
single_instance_posix_test) to the folder where pelko's lock and socket live,
while it is open to them: make it, put a lock of their own in it and hold it,
hold the lock of pelko's that they could open, listen where a second start
would hand over (printing "ready" once done, then "asked" for every start
that asks it, which it answers as pelko would), or ask the running copy
themselves (printing its answer).

    single_instance_intruder.py make|replace|open|listen|ask FOLDER LOCK SOCKET
"""
import fcntl, os, socket, sys
how, folder, lock, name = sys.argv[1:5]
os.umask(0)
if how == 'ask':
    try:
        client = socket.socket(socket.AF_UNIX)
        client.connect(name)
        client.sendall(b'show\n')
        print(client.recv(64).decode(), end='', flush=True)
    except OSError:
        pass
    sys.exit()
if how == 'make':
    os.mkdir(folder, 0o777)
if how == 'open':
    fd = os.open(lock, os.O_RDWR)
elif how != 'listen':
    fd = os.open(folder + '/theirs', os.O_RDWR | os.O_CREAT, 0o666)
    os.rename(folder + '/theirs', lock)
if how != 'listen':
    fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
    fcntl.lockf(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
if os.path.lexists(name):
    os.unlink(name)
server = socket.socket(socket.AF_UNIX)
server.bind(name)
server.listen(8)
print('ready', flush=True)
while True:
    client, _ = server.accept()
    if client.recv(64):
        print('asked', flush=True)
        client.sendall(b'ok\n')
    client.close()
