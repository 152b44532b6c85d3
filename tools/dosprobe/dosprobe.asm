; SPDX-License-Identifier: MIT
; A stand-in for the game's DOS programs: a 16-bit MZ .EXE that writes down what a launcher gave
; it, for the tests that run it inside a real DOSBox.
;
; It appends to DOSLOG.TXT in its current folder (the game folder, mounted as drive C:) one line
; with its command tail exactly as the PSP holds it, between brackets ("tail [ -map e1l8.map]"),
; then one line per key it reads through the BIOS (INT 16h), with the character and the scan code
; ("key Y 021"; a character that does not print as "."). Each line is written with an open, a write and a close, so that the host sees it
; at once. Escape ends it ("exit" is written last), and DOSBox ends with it.
;
; Build: nasm -f bin -o DOSPROBE.EXE dosprobe.asm

bits 16
cpu 8086

; --- MZ header: 2 paragraphs, no relocations, code and data in one segment behind it.
section header start=0
header:
    db 'MZ'
    dw file_size % 512              ; bytes in the last page
    dw (file_size + 511) / 512      ; pages
    dw 0                            ; relocations
    dw 2                            ; header size in paragraphs
    dw 0x0100                       ; minimum extra paragraphs: the stack
    dw 0x0100                       ; maximum extra paragraphs
    dw 0                            ; SS, relative to the code
    dw image_size + 0x0400          ; SP: 1 KiB above the image
    dw 0                            ; checksum
    dw start                        ; IP
    dw 0                            ; CS, relative to the code
    dw 0x1C                         ; relocation table offset
    dw 0                            ; overlay
    times 32 - ($ - header) db 0

section code follows=header vstart=0
image:
start:
    mov ax, cs
    mov ds, ax                      ; DS: this program; ES: its PSP
    ; "tail [" + the PSP's command tail (length at 80h, bytes from 81h) + "]"
    mov di, line
    mov si, tail_label
    call copy_text
    xor bx, bx
    mov bl, [es:0x80]
    mov cx, bx
    mov si, 0x81
.tail:
    jcxz .tail_done
    mov al, [es:si]
    mov [di], al
    inc si
    inc di
    dec cx
    jmp .tail
.tail_done:
    mov byte [di], ']'
    inc di
    call write_line

.next_key:
    xor ah, ah
    int 0x16                        ; AL: character, AH: scan code
    mov [key_char], al
    mov [key_scan], ah
    mov di, line
    mov si, key_label
    call copy_text
    mov al, [key_char]
    cmp al, ' '
    jb .unprintable
    cmp al, 0x7F
    jb .printable
.unprintable:
    mov al, '.'
.printable:
    mov [di], al
    inc di
    mov byte [di], ' '
    inc di
    mov al, [key_scan]
    call write_decimal
    call write_line
    cmp byte [key_char], 27
    jne .next_key

    mov di, line
    mov si, exit_label
    call copy_text
    call write_line
    mov ax, 0x4C00
    int 0x21

; copy_text: the zero-ended text at DS:SI to DS:DI; DI ends behind it.
copy_text:
    lodsb
    or al, al
    jz .done
    mov [di], al
    inc di
    jmp copy_text
.done:
    ret

; write_decimal: AL as a decimal number of three digits at DS:DI.
write_decimal:
    xor ah, ah
    mov bl, 100
    div bl                          ; AL hundreds, AH rest
    mov bh, ah
    add al, '0'
    mov [di], al
    inc di
    mov al, bh
    xor ah, ah
    mov bl, 10
    div bl
    add al, '0'
    mov [di], al
    inc di
    add ah, '0'
    mov [di], ah
    inc di
    ret

; write_line: the text from `line` to DI, with CR LF, appended to the log file.
write_line:
    mov byte [di], 13
    mov byte [di + 1], 10
    add di, 2
    mov [line_end], di
    mov dx, log_name
    mov ax, 0x3D01                  ; open for writing
    int 0x21
    jnc .opened
    mov dx, log_name
    mov ah, 0x3C                    ; create
    xor cx, cx
    int 0x21
    jc .failed
.opened:
    mov bx, ax
    mov ax, 0x4202                  ; to the end
    xor cx, cx
    xor dx, dx
    int 0x21
    mov ah, 0x40
    mov dx, line
    mov cx, [line_end]
    sub cx, line
    int 0x21
    mov ah, 0x3E
    int 0x21
.failed:
    ret

log_name:   db 'DOSLOG.TXT', 0
tail_label: db 'tail [', 0
key_label:  db 'key ', 0
exit_label: db 'exit', 0
key_char:   db 0
key_scan:   db 0
line_end:   dw 0
line:       times 200 db 0
image_size equ $ - image

file_size equ 32 + image_size
