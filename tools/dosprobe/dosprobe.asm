; SPDX-License-Identifier: MIT
; A stand-in for the game's DOS programs: a 16-bit MZ .EXE that appends to DOSLOG.TXT (which
; must exist) its command tail as the PSP holds it ("tail [ -map e1l8.map]"), then a line per
; BIOS key ("key Y"), each opened, written and closed so that the host sees it. Escape ends it.
bits 16
cpu 8086

section header start=0              ; 2 paragraphs, no relocations, the image behind them
header:
    db 'MZ'
    dw file_size % 512, (file_size + 511) / 512  ; bytes in the last page, pages
    dw 0, 2, 0x100, 0x100           ; relocations, header paragraphs, extra paragraphs min, max
    dw 0, image_size + 0x400, 0     ; SS, SP (1 KiB above the image), checksum
    dw start, 0, 0x1C, 0            ; IP, CS, relocation table, overlay
    times 32 - ($ - header) db 0

section code follows=header vstart=0
image:
start:
    mov ax, cs
    mov es, ax                      ; DS: the PSP, ES: this program
    mov si, 0x81                    ; the tail's bytes, its length at 80h
    mov cl, [0x80]
    xor ch, ch
    mov di, tail_line + 6
    cld
    rep movsb
    mov ds, ax
    mov al, ']'
    stosb
    mov si, tail_line
    call write_line
.next_key:
    xor ah, ah
    int 0x16                        ; AL: the character
    mov [key_line + 4], al
    mov si, key_line
    mov di, key_line + 5
    call write_line
    cmp byte [key_line + 4], 27
    jne .next_key
    mov ax, 0x4C00
    int 0x21

; write_line: the text from SI to DI and a CR LF, appended to the log.
write_line:
    mov word [di], 0x0A0D
    mov dx, log_name
    mov ax, 0x3D01                  ; open for writing
    int 0x21
    jc .failed
    mov bx, ax
    mov ax, 0x4202                  ; to its end
    xor cx, cx
    xor dx, dx
    int 0x21
    mov dx, si
    mov cx, di
    sub cx, si
    add cx, 2
    mov ah, 0x40
    int 0x21
    mov ah, 0x3E
    int 0x21
.failed:
    ret

log_name:  db 'DOSLOG.TXT', 0
key_line:  db 'key ', 0, 0, 0
tail_line: db 'tail ['              ; the tail, "]" and CR LF behind it: the space up to the stack
image_size equ $ - image + 140
file_size equ 32 + $ - image
